#!/usr/bin/env bash
# with-wine.sh COMMAND...: runs COMMAND with a ready Wine prefix, one wineserver
# for the whole command and an X display (a virtual one when none is given).
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)

export PATH=/usr/lib/wine:$PATH
export WINEPREFIX=${WINEPREFIX:-${KORVALIN_BUILD_ROOT:-$root/build}/wine-prefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
mkdir -p "$(dirname "$WINEPREFIX")"

xvfb_pid=
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  n=${KORVALIN_DISPLAY_NUMBER:-91}
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  export KORVALIN_VIRTUAL_DISPLAY=1
fi

wineserver -p >/dev/null 2>&1
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "with-wine: creating the Wine prefix $WINEPREFIX"
  wine wineboot -i </dev/null >/dev/null 2>&1
  wineserver -w
  wineserver -p >/dev/null 2>&1
fi
# Start Wine's own background processes now, away from any test's output:
# started later, they would inherit a test's pipes and hold ctest up.
wine wineboot </dev/null >/dev/null 2>&1

"$@"
