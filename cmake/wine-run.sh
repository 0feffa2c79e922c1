#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in a private prefix (KESTRUNE_WINEPREFIX, or
# wineprefix/ beside the build's CMakeCache.txt). The prefix is made once, under a lock, so
# tests started in parallel never race its creation. Exit code and streams pass through.
set -u
exe=$1; shift
if [ -z "${KESTRUNE_WINEPREFIX:-}" ]; then
  dir=$(cd "$(dirname "$exe")" && pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  [ "$dir" = / ] && dir=$(cd "$(dirname "$exe")" && pwd)
  KESTRUNE_WINEPREFIX=$dir/wineprefix
fi
export WINEPREFIX=$KESTRUNE_WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
# Korean by default (code page 949, interface language 0x0412); KESTRUNE_WINE_LC_ALL picks
# another, e.g. C.UTF-8 for the English interface.
export LC_ALL=${KESTRUNE_WINE_LC_ALL:-ko_KR.UTF-8}
export LANG=$LC_ALL
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mkdir -p "$WINEPREFIX"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.kestrune-ready" ]; then
    wineboot -i >/dev/null 2>&1
    [ -x "$here/wine-prefix-init.sh" ] && "$here/wine-prefix-init.sh" >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.kestrune-ready"
  fi
) 9>"$WINEPREFIX.lock"
exec wine "$exe" "$@"
