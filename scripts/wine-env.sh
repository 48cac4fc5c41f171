# Sourced by every script that runs Wine: the prefix, Wine's settings, the
# loader directory for this host and a helper that bounds each wait.
#
# Hosts differ: some run 32-bit Linux programs, some refuse them. Wine's
# 32-bit loader is one, so on the second kind setup.sh builds a loader
# directory whose wine-preloader runs it under qemu-i386 (64-bit code still
# runs natively) and records the host's kind in $build_root/wine-host.
korvalin_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
korvalin_root=$(cd "$korvalin_scripts/.." && pwd)
export KORVALIN_BUILD_ROOT=${KORVALIN_BUILD_ROOT:-$korvalin_root/build}
export WINEPREFIX=${WINEPREFIX:-$KORVALIN_BUILD_ROOT/wine-prefix}
# Quiet, but for Wine's own word on why it could not do something asked of
# it (a display it cannot open, a driver it cannot load).
export WINEDEBUG=${WINEDEBUG:--all,err+winediag}
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

# KORVALIN_WINE32: native, or emulated. Windows programs see it too (Wine
# passes the environment on), so tests can tell where the emulator differs.
if [ -z "${KORVALIN_WINE32:-}" ] && [ -f "$KORVALIN_BUILD_ROOT/wine-host" ]; then
  KORVALIN_WINE32=$(cat "$KORVALIN_BUILD_ROOT/wine-host")
fi
case ${KORVALIN_WINE32:-} in
  native) KORVALIN_WINE_DIR=/usr/lib/wine ;;
  emulated) KORVALIN_WINE_DIR=$KORVALIN_BUILD_ROOT/wine32-emulated/lib/wine ;;
  *)
    echo "wine-env: no record of how this host runs 32-bit programs ($KORVALIN_BUILD_ROOT/wine-host); run scripts/setup.sh" >&2
    return 1 2>/dev/null || exit 1 ;;
esac
export KORVALIN_WINE32 KORVALIN_WINE_DIR

# A crash under the emulated debugger takes minutes; there the crashing case
# simply ends.
overrides="mscoree,mshtml="
[ "$KORVALIN_WINE32" = emulated ] && overrides="$overrides;winedbg.exe=d"
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-$overrides}
unset overrides

# scripts/wine-bin/wine picks the loader by the program; wineserver comes
# from the loader directory.
case ":$PATH:" in
  *":$korvalin_scripts/wine-bin:"*) ;;
  *) export PATH="$korvalin_scripts/wine-bin:$KORVALIN_WINE_DIR:$PATH" ;;
esac

# bounded [-q] SECONDS WHAT COMMAND...: runs COMMAND, ends it after SECONDS
# and then says on stderr what was waited for. -q: the command reads nothing
# and its output is dropped (the message is not). Returns the command's
# status, 124 on time-out.
bounded() {
  local quiet= seconds what status
  [ "$1" = -q ] && { quiet=1; shift; }
  seconds=$1 what=$2
  shift 2
  if [ -n "$quiet" ]; then
    timeout -k 10 "$seconds" "$@" </dev/null >/dev/null 2>&1
  else
    timeout -k 10 "$seconds" "$@"
  fi
  status=$?
  if [ $status -eq 124 ] || [ $status -eq 137 ]; then
    echo "${korvalin_script_name:-wine}: gave up after $seconds s waiting for $what" >&2
    return 124
  fi
  return $status
}
export -f bounded

# plain_user_folders PREFIX: a new prefix's drive_c/users/<name>/Desktop,
# Documents, Downloads and the rest are links to the Linux user's home, so a
# move tried there would copy, and a slip in a clear could delete, the host's
# own files. Each link under drive_c/users that leads outside the prefix
# becomes a plain directory (Desktop and Documents get a file to carry); one
# that cannot is an error naming it.
plain_user_folders() {
  local prefix users root link target left=
  prefix=$(realpath -e "$1") || { echo "${korvalin_script_name:-wine}: no prefix at $1" >&2; return 1; }
  users=$prefix/drive_c/users
  root=$prefix/
  [ -d "$users" ] || return 0
  while IFS= read -r -d '' link; do
    target=$(realpath -m "$link")
    [[ $target/ == "$root"* ]] && continue
    rm -f "$link" && mkdir "$link" || continue
    case ${link##*/} in
      Desktop) printf 'A file on the Desktop of this Wine prefix, for a first move to carry.\r\n' >"$link/sample.txt" ;;
      Documents) printf 'A document of this Wine prefix, for a first move to carry.\r\n' >"$link/notes.txt"
                 printf 'Second sample document.\r\n' >"$link/notes-2.txt" ;;
    esac
  done < <(find "$users" -maxdepth 3 -type l -print0)
  while IFS= read -r -d '' link; do
    target=$(realpath -m "$link")
    [[ $target/ == "$root"* ]] || left+="  $link -> $target"$'\n'
  done < <(find "$users" -maxdepth 3 -type l -print0)
  if [ -n "$left" ]; then
    printf '%s: the prefix %s still has user folders linked outside it:\n%s' \
      "${korvalin_script_name:-wine}" "$prefix" "$left" >&2
    return 1
  fi
}
