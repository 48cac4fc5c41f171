#!/usr/bin/env bash
# with-wine.sh COMMAND...: runs COMMAND with a ready Wine prefix, one wineserver
# for the whole command and an X display (a virtual one when none is given).
set -uo pipefail
korvalin_script_name=with-wine
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh" || exit 1
mkdir -p "$(dirname "$WINEPREFIX")"

xvfb_pid=
links_pid=
link_requests=$WINEPREFIX/drive_c/korvalin-link-requests
cleanup() {
  [ -n "$links_pid" ] && kill "$links_pid" >/dev/null 2>&1 && wait "$links_pid" 2>/dev/null
  if [ -f "$link_requests/.drives" ]; then
    while read -r device; do [ -L "$device" ] && rm -f "$device"; done <"$link_requests/.drives"
  fi
  rm -rf "$link_requests"
  timeout -k 5 30 wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1 || true
}

# Only a Linux program can make a link Wine shows as a reparse point, or a
# drive letter. Tests ask for them by dropping a request file (verb, then two
# Linux paths, one a line: "link" to a directory, "filelink" to a file,
# "drive" or "undrive") in C:\korvalin-link-requests of their prefix (this
# one, or the end-to-end suite's own prefixes); this answers "ok" or
# "refused" in a .answer file. It makes links only inside that prefix's drive
# C: and letters K to Y only onto directories there, and removes only the
# letters it made, so no request can reach a real drive or file.
answer_link_request() {
  local verb a b prefix parent target device owner
  { read -r verb; read -r a; read -r b; } <"$1"
  owner=${1%/drive_c/korvalin-link-requests/*}
  prefix=$(realpath -e "$owner")/drive_c/
  case $verb in
    link)
      parent=$(realpath -e "$(dirname "$a")") && target=$(realpath -e "$b") || return 1
      [[ $parent/ == "$prefix"* && $target/ == "$prefix"* && -d $target && ! -e $a && ! -L $a ]] || return 1
      ln -s "$target" "$a" ;;
    filelink)
      parent=$(realpath -e "$(dirname "$a")") && target=$(realpath -e "$b") || return 1
      [[ $parent/ == "$prefix"* && $target == "$prefix"* && -f $target && ! -e $a && ! -L $a ]] || return 1
      ln -s "$target" "$a" ;;
    drive)
      [[ $a =~ ^[k-y]$ ]] && target=$(realpath -e "$b") || return 1
      device=$owner/dosdevices/$a:
      [[ $target/ == "$prefix"* && -d $target && ! -e $device && ! -L $device ]] || return 1
      ln -s "$target" "$device" && echo "$device" >>"$link_requests/.drives" ;;
    undrive)
      device=$owner/dosdevices/$a:
      [[ $a =~ ^[k-y]$ && -L $device ]] && grep -qxF "$device" "$link_requests/.drives" || return 1
      rm -f "$device" ;;
    *) return 1 ;;
  esac
}

serve_link_requests() {
  local request answer
  while sleep 0.1; do
    for request in "$link_requests"/*.request "$KORVALIN_BUILD_ROOT"/*/e2e-prefix/drive_c/korvalin-link-requests/*.request; do
      [ -f "$request" ] || continue
      answer=${request%.request}.answer
      if answer_link_request "$request" 2>/dev/null; then echo ok; else echo refused; fi >"$answer.tmp"
      mv "$answer.tmp" "$answer"
      rm -f "$request"
    done
  done
}
trap cleanup EXIT
trap 'exit 143' INT TERM

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  n=${KORVALIN_DISPLAY_NUMBER:-91}
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  # -noreset: the resources below would go with a reset when the last
  # client leaves.
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  if ! xdpyinfo >/dev/null 2>&1; then
    echo "with-wine: gave up after 10 s waiting for the virtual display $DISPLAY (Xvfb)" >&2
    exit 1
  fi
  # A desktop session loads a resource database; without one, Xlib reads
  # ~/.Xdefaults anew each time Wine makes an X pixmap (every row painted).
  bounded 10 "xprop to set the virtual display's resources" \
    xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "$(printf 'Xft.dpi:\t96\n')" ||
    echo "with-wine: could not give the virtual display $DISPLAY a resource database" >&2
  export KORVALIN_VIRTUAL_DISPLAY=1
fi

# A new prefix is made before any persistent wineserver runs, so that the
# wait for its server to save the registry ends when the last process does.
# A prefix that did not come out whole is an error, not a wait; the next
# run completes it.
prefix_failed() {
  echo "with-wine: could not create the Wine prefix $WINEPREFIX: $1" >&2
  wineserver -k >/dev/null 2>&1
  exit 1
}
if [ ! -f "$WINEPREFIX/.korvalin-ready" ]; then
  echo "with-wine: creating the Wine prefix $WINEPREFIX"
  bounded -q 300 "wineboot to create the prefix" wine wineboot -i ||
    prefix_failed "wineboot -i ended with $?"
  bounded 60 "the new prefix's wineserver to save it and end" wineserver -w || prefix_failed "its wineserver did not end"
  [ -f "$WINEPREFIX/system.reg" ] && [ -d "$WINEPREFIX/drive_c/windows/syswow64" ] ||
    prefix_failed "wineboot left no registry or no 32-bit system directory"
  touch "$WINEPREFIX/.korvalin-ready"
fi
bounded -q 30 "a persistent wineserver to start" wineserver -p || exit 1
# Wine draws the frame buttons with Marlett; it finds its own fonts
# (fonts-wine) only in the prefix, so a prefix made before they were
# installed, or without them, gets them here.
for font in marlett.ttf tahoma.ttf tahomabd.ttf; do
  if [ -f "/usr/share/wine/fonts/$font" ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/$font" ]; then
    cp "/usr/share/wine/fonts/$font" "$WINEPREFIX/drive_c/windows/Fonts/$font"
  fi
done
# A virtual display has no window manager, and Wine waits 2 s for one in
# every DestroyWindow of a window it leaves to the manager. Without one, Wine
# places its windows itself; on a real display the manager keeps them.
if [ -n "${KORVALIN_VIRTUAL_DISPLAY:-}" ]; then
  bounded -q 120 "reg.exe to set Wine's X11 driver unmanaged" \
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f || exit 1
else
  bounded -q 120 "reg.exe to clear Wine's X11 driver setting" \
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f
fi
# A 32-bit program must start here, whether natively or emulated: a host
# where it cannot fails now, with the reason, not later with no cases.
bounded -q 120 "a 32-bit program (syswow64 cmd.exe) to start" \
  wine "$WINEPREFIX/drive_c/windows/syswow64/cmd.exe" /c exit 7
if [ $? -ne 7 ]; then
  echo "with-wine: 32-bit Windows programs do not start on this host ($KORVALIN_WINE32 loader in $KORVALIN_WINE_DIR)" >&2
  exit 1
fi
# Start Wine's own background processes now, away from any test's output:
# started later, they would inherit a test's pipes and hold ctest up.
bounded -q 300 "wineboot to start Wine's background processes" wine wineboot || exit 1
plain_user_folders "$WINEPREFIX" || exit 1

rm -rf "$link_requests"
mkdir -p "$link_requests"
serve_link_requests </dev/null >/dev/null 2>&1 &
links_pid=$!

"$@"
exit $?
