#!/usr/bin/env bash
# screenshots.sh: installs what is missing, builds the i686 Korvalin and takes
# docs/normal.png, docs/recovery.png and docs/confirm.png of the real program
# under Wine on a virtual display, in a prefix of its own whose Wine desktop
# draws the window frames. The end-to-end test program drives the program.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
build_root=${KORVALIN_BUILD_ROOT:-$root/build}

"$here/setup.sh"
"$here/build.sh" i686

export root build_root
export WINEPREFIX=$build_root/i686/shots-prefix
"$here/with-wine.sh" bash -c '
  set -euo pipefail
  bash "$root/tests/e2e/prefix.sh" fresh "$WINEPREFIX" >/dev/null
  bounded -q 120 "reg.exe to set the Wine desktop" wine reg add "HKCU\\Software\\Wine\\Explorer" /v Desktop /d Shots /f
  bounded -q 120 "reg.exe to set the Wine desktop" \
    wine reg add "HKCU\\Software\\Wine\\Explorer\\Desktops" /v Shots /d 1024x640 /f
  wineserver -k
  bounded 60 "the screenshot prefix'"'"'s wineserver to end" wineserver -w
  bounded -q 30 "a persistent wineserver to start" wineserver -p
  bounded -q 300 "wineboot to start Wine'"'"'s background processes" wine wineboot
  shots=$WINEPREFIX/drive_c/shots
  rm -rf "$shots"; mkdir -p "$shots"
  KORVALIN_SHOTS="C:\\shots" bounded 300 "the screenshot cases" \
    wine "$build_root/i686/e2e_tests.exe" --gtest_filter="Screenshots.*" </dev/null
  for shot in normal recovery confirm; do
    convert "$shots/$shot.bmp" "$root/docs/$shot.png"
    echo "screenshots: docs/$shot.png"
  done
  bash "$root/tests/e2e/prefix.sh" stop "$WINEPREFIX"
'
