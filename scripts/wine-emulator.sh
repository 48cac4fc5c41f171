#!/usr/bin/env bash
# Runs one Windows program under Wine with the project's environment.
# CMake uses it as the cross-compiling emulator, so ctest needs no other glue.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export PATH=/usr/lib/wine:$PATH
export WINEPREFIX=${WINEPREFIX:-$here/../build/wine-prefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
exec wine "$@"
