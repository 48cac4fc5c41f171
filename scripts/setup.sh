#!/usr/bin/env bash
# Installs what building and running Korvalin needs, only when it is missing.
# fonts-wine brings Wine's Marlett and Tahoma: without them the frame buttons
# Wine draws show the letters "0", "1" and "r".
set -euo pipefail

packages=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
          wine wine32:i386 wine64 xvfb xdotool x11-utils imagemagick
          locales fonts-wqy-microhei fonts-wine cmake libwine-dev googletest)

# A mirror caught mid-sync serves an index that does not match its Release
# file. Then apt keeps the other architecture's index of that suite, and the
# i386 and amd64 halves of one library come out at different versions, which
# Multi-Arch refuses. So after a second failed try the suites whose index
# could not be fetched are left out of this install, both architectures alike.
skip_suites=()
apt_update() {
  local log try suite prefs
  log=$(mktemp)
  for try in 1 2; do
    if timeout 600 apt-get update -qq >"$log" 2>&1; then rm -f "$log"; return 0; fi
    [ "$try" = 2 ] || { echo "setup: apt-get update failed; trying again in 20 s"; sleep 20; }
  done
  cat "$log" >&2
  prefs=$(mktemp -d)
  cp -r /etc/apt/preferences.d/. "$prefs/" 2>/dev/null || true
  for suite in $(sed -n 's#^E: Failed to fetch .*/dists/\([^/ ]*\)/.*#\1#p' "$log" | sort -u); do
    echo "setup: the index of $suite could not be fetched; installing without $suite"
    printf 'Package: *\nPin: release n=%s\nPin-Priority: -1\n\nPackage: *\nPin: release a=%s\nPin-Priority: -1\n\n' \
      "$suite" "$suite" >>"$prefs/korvalin-setup.pref"
  done
  rm -f "$log"
  skip_suites=(-o "Dir::Etc::preferencesparts=$prefs")
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt_update
  DEBIAN_FRONTEND=noninteractive timeout 1800 apt-get install -y -qq --no-install-recommends \
    "${skip_suites[@]}" "${missing[@]}" >/dev/null ||
    { echo "setup: apt-get install failed or took over 30 minutes" >&2; exit 1; }
  [ ${#skip_suites[@]} -eq 0 ] || rm -rf "${skip_suites[1]#Dir::Etc::preferencesparts=}"
fi

# Wine takes its ANSI code page from the locale: without zh_CN.UTF-8 it falls back to 1252.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
  echo "setup: generating zh_CN.UTF-8"
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

# Native 32-bit programs, or Wine's 32-bit loader under an emulator.
bash "$(dirname "${BASH_SOURCE[0]}")/wine32-host.sh"
