#!/usr/bin/env bash
# wine32-host.sh: finds out how this host runs Wine's 32-bit loader, records
# it in $KORVALIN_BUILD_ROOT/wine-host ("native" or "emulated") and says so
# in one line. Called by setup.sh once the Wine packages are in.
#
# Some hosts refuse every 32-bit Linux program (Exec format error), and
# their CPU runs no 32-bit code at all, so no WoW64 mode helps. There only
# the 32-bit loader is emulated: Wine starts a 32-bit process as
# "<its directory>/wine-preloader <its directory>/wine ...", finding its
# directory through /proc/self/exe, so a directory of our own holding copies
# of the loaders, a wine-preloader that runs qemu-i386, and links to Wine's
# libraries makes every 32-bit process go through the emulator. Nothing is
# registered with the kernel and nothing outside the build root changes.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build_root=${KORVALIN_BUILD_ROOT:-$(cd "$here/.." && pwd)/build}
record=$build_root/wine-host
emulated=$build_root/wine32-emulated
mkdir -p "$build_root"

# Only starting the loader tells: the kernel version and dmesg do not.
loader_starts() {
  timeout 60 "$@" --version 2>/dev/null | grep -q '^wine-'
}

if [ "${KORVALIN_WINE32:-}" != emulated ] && loader_starts /usr/lib/wine/wine; then
  echo native >"$record"
  echo "setup: 32-bit Windows programs run natively on this host"
  exit 0
fi

# qemu 10 from the backports suite of the archive this host already uses:
# bookworm's own qemu 7.2 takes about a minute to start each process. Only
# its static qemu-i386 is kept; apt runs with a list and cache of our own,
# so the host's package sources stay as they are.
debian_archive() {
  local uri
  uri=$(awk '/^URIs:/ {u = $2} /^Suites:/ && / bookworm( |$)/ && u != "" {print u; exit}' \
    /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
  [ -n "$uri" ] || uri=$(awk '$1 == "deb" && $0 ~ / bookworm / {for (i = 2; i <= NF; i++) if ($i ~ /^https?:/) {print $i; exit}}' \
    /etc/apt/sources.list 2>/dev/null || true)
  echo "${uri:-http://deb.debian.org/debian}"
}

fetch_qemu() {
  local work=$build_root/qemu-download archive deb
  rm -rf "$work"
  mkdir -p "$work/lists/partial" "$work/cache/archives/partial"
  archive=$(debian_archive)
  echo "deb [arch=amd64 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $archive bookworm-backports main" \
    >"$work/sources.list"
  local apt=(-q -o Dir::Etc::sourcelist="$work/sources.list" -o Dir::Etc::sourceparts=-
    -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache" -o APT::Sandbox::User=root)
  timeout 300 apt-get "${apt[@]}" update >"$work/apt.log" 2>&1 &&
    (cd "$work" && timeout 600 apt-get "${apt[@]}" download qemu-user/bookworm-backports >>"$work/apt.log" 2>&1) || {
    echo "setup: could not fetch qemu-user from $archive bookworm-backports (see $work/apt.log)" >&2
    return 1
  }
  deb=$(ls "$work"/qemu-user_*.deb)
  mkdir -p "$work/x" "$emulated/bin"
  dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$work/x" ./usr/bin/qemu-i386
  mv "$work/x/usr/bin/qemu-i386" "$emulated/bin/qemu-i386"
  rm -rf "$work"
}

# Copies, not links: Wine finds its directory from the program's own path.
make_loader_directory() {
  local wine=$emulated/lib/wine
  rm -rf "$emulated/lib" "$emulated/share"
  mkdir -p "$wine" "$emulated/share"
  cp /usr/lib/wine/wine /usr/lib/wine/wine64 "$wine/"
  ln -s /usr/lib/wine/wineserver64 "$wine/wineserver"
  ln -s /usr/lib/x86_64-linux-gnu "$emulated/lib/x86_64-linux-gnu"
  ln -s /usr/lib/i386-linux-gnu "$emulated/lib/i386-linux-gnu"
  ln -s /usr/share/wine "$emulated/share/wine"
  printf '#!/bin/sh\n# Wine starts 32-bit processes through this: run the loader under the emulator.\nexec "%s" "$@"\n' \
    "$emulated/bin/qemu-i386" >"$wine/wine-preloader"
  chmod +x "$wine/wine-preloader"
}

if [ ! -x "$emulated/bin/qemu-i386" ] || ! "$emulated/bin/qemu-i386" --version >/dev/null 2>&1; then
  echo "setup: this host runs no 32-bit Linux programs; fetching qemu-i386 to run Wine's 32-bit loader"
  fetch_qemu
fi
make_loader_directory
if ! loader_starts "$emulated/lib/wine/wine-preloader" "$emulated/lib/wine/wine"; then
  echo "setup: Wine's 32-bit loader does not start under $emulated/bin/qemu-i386 either; 32-bit programs cannot run here" >&2
  rm -f "$record"
  exit 1
fi
echo emulated >"$record"
echo "setup: 32-bit Windows programs run emulated on this host ($("$emulated/bin/qemu-i386" --version | head -1 | cut -d' ' -f1-3), $emulated)"
