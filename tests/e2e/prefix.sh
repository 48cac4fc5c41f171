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
korvalin_script_name=prefix.sh
source "$here/../../scripts/wine-env.sh"

if [ "$verb" = stop ]; then
  WINEPREFIX=$prefix bounded -q 30 "the e2e prefix's wineserver to end" wineserver -k || true
  exit 0
fi

make_template() {
  rm -rf "$template"
  mkdir -p "$template"
  export WINEPREFIX=$template
  bounded -q 300 "wineboot to create the e2e prefix template" wine wineboot -i
  # Without a window manager Wine waits ~2 s in every DestroyWindow of a
  # top-level window for one to answer; unmanaged windows do not wait.
  bounded -q 120 "reg.exe in the e2e prefix template" \
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
  for font in marlett.ttf tahoma.ttf tahomabd.ttf; do
    [ -f "/usr/share/wine/fonts/$font" ] && cp "/usr/share/wine/fonts/$font" "$template/drive_c/windows/Fonts/"
  done
  wineserver -k >/dev/null 2>&1 || true
  bounded 60 "the e2e prefix template's wineserver to end" wineserver -w
  plain_user_folders "$template" || exit 1
  [ -d "$template/drive_c/windows/syswow64" ] && [ -f "$template/system.reg" ] || {
    echo "prefix.sh: wineboot left no usable e2e prefix template in $template" >&2
    exit 1
  }
  touch "$template/.ready"
}

[ -f "$template/.ready" ] || make_template

WINEPREFIX=$prefix bounded -q 30 "the old e2e prefix's wineserver to end" wineserver -k || true
rm -rf "$prefix"
mkdir -p "$prefix"
(cd "$template" && find . -mindepth 1 -maxdepth 1 ! -name drive_c ! -name .ready -exec cp -a {} "$prefix/" \;)
mkdir -p "$prefix/drive_c/korvalin-link-requests"
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
  (cd "$prefix/drive_c/release" && cmake -E tar xf "$3/Korvalin-$(bash "$here/../../scripts/version.sh").zip")
fi

# One wineserver for the whole run, and Wine's own background processes
# started here rather than under a test whose output they would hold open.
export WINEPREFIX=$prefix
bounded -q 30 "the e2e prefix's wineserver to start" wineserver -p120
bounded -q 300 "wineboot to start the e2e prefix's background processes" wine wineboot
# Also for a template made before its user folders were made plain.
plain_user_folders "$prefix" || exit 1
echo "e2e prefix ready: $prefix"
