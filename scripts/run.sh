#!/usr/bin/env bash
# run.sh [arguments...]: installs what is missing, builds Korvalin (i686) and starts it.
# Without a display it runs on a virtual one, saves build/screenshot.png and closes it.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
build_root=${KORVALIN_BUILD_ROOT:-$root/build}

"$here/setup.sh"
"$here/build.sh" i686
exe=$build_root/i686/Korvalin.exe

export exe build_root
"$here/with-wine.sh" bash -c '
  if [ -z "${KORVALIN_VIRTUAL_DISPLAY:-}" ]; then
    wine "$exe" "$@"
    exit $?
  fi
  # On a virtual display Wine draws the window frames itself in a desktop window.
  wine explorer /desktop=Korvalin,1024x640 "$exe" "$@" &
  pid=$!
  # The window is up well within this under either loader (an emulated one
  # starts a process in about a second).
  sleep "${KORVALIN_SHOT_DELAY:-6}"
  import -window root -crop 1024x640+0+0 "$build_root/screenshot.png" &&
    echo "run: screenshot saved to $build_root/screenshot.png"
  for w in $(xdotool search --name "Korvalin" 2>/dev/null); do
    xdotool key --window "$w" alt+F4 2>/dev/null || true
  done
  for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill $pid 2>/dev/null; then
    echo "run: gave up after 5 s waiting for Korvalin to close; ended it" >&2
  else
    echo "run: Korvalin closed"
  fi
  wait $pid 2>/dev/null
' run "$@"
