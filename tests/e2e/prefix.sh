#!/usr/bin/env bash
# prefix.sh fresh PREFIX [RELEASE_ROOT] | stop PREFIX
# fresh: gives the end-to-end suite a Wine prefix of its own, new for every
# run: a hard-linked copy of a template made once with wineboot (the large
# system directories are linked, everything a run may change is copied).
# With RELEASE_ROOT, the release zip is made there and unpacked into the
# prefix's C:\release. stop: ends the prefix's wineserver.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
verb=$1
prefix=$2
template=$(dirname "$prefix")/../e2e-prefix-template
export PATH=/usr/lib/wine:$PATH WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

if [ "$verb" = stop ]; then
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  exit 0
fi

make_template() {
  rm -rf "$template"
  mkdir -p "$template"
  export WINEPREFIX=$template
  wine wineboot -i </dev/null >/dev/null 2>&1
  # Without a window manager Wine waits ~2 s in every DestroyWindow of a
  # top-level window for one to answer; unmanaged windows do not wait.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  for font in marlett.ttf tahoma.ttf tahomabd.ttf; do
    [ -f "/usr/share/wine/fonts/$font" ] && cp "/usr/share/wine/fonts/$font" "$template/drive_c/windows/Fonts/"
  done
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w
  touch "$template/.ready"
}

[ -f "$template/.ready" ] || make_template

WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
rm -rf "$prefix"
mkdir -p "$prefix"
(cd "$template" && find . -mindepth 1 -maxdepth 1 ! -name drive_c ! -name .ready -exec cp -a {} "$prefix/" \;)
mkdir -p "$prefix/drive_c"
(cd "$template/drive_c" && find . -mindepth 1 -maxdepth 1 ! -name windows -exec cp -a {} "$prefix/drive_c/" \;)
mkdir -p "$prefix/drive_c/windows"
(cd "$template/drive_c/windows" && for entry in * .[!.]*; do
  [ -e "$entry" ] || continue
  case $entry in
    system32 | syswow64) cp -al "$entry" "$prefix/drive_c/windows/" ;;
    *) cp -a "$entry" "$prefix/drive_c/windows/" ;;
  esac
done)

if [ $# -ge 3 ]; then
  KORVALIN_BUILD_ROOT=$3 bash "$here/../../scripts/release.sh" >/dev/null
  mkdir -p "$prefix/drive_c/release"
  (cd "$prefix/drive_c/release" && cmake -E tar xf "$3/Korvalin-1.21.zip")
fi

# One wineserver for the whole run, and Wine's own background processes
# started here rather than under a test whose output they would hold open.
export WINEPREFIX=$prefix
wineserver -p120 >/dev/null 2>&1
wine wineboot </dev/null >/dev/null 2>&1
echo "e2e prefix ready: $prefix"
