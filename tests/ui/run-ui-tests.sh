#!/usr/bin/env bash
# Runs the window tests (a Windows executable) under Wine on a private X server, in one
# interface language: ko (LC_ALL=ko_KR.UTF-8) or en (C.UTF-8).
# Each language has its own Wine prefix in the build tree, used by nothing else, so the
# registry the placement tests read and write is theirs alone; the prefix is made again when
# cmake/wine-prefix-init.sh has changed since it was made. KESTRUNE_UI_DPI (default 96) sets
# the display's resolution; another one has a prefix and a program folder of its own.
# Usage: run-ui-tests.sh EXE ko|en [gtest arguments...]
set -u
exe=$1
language=$2
shift 2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
case $language in
  ko) locale=ko_KR.UTF-8 ;;
  en) locale=C.UTF-8 ;;
  *) echo "run-ui-tests: unknown language $language" >&2; exit 2 ;;
esac

build_dir=$(cd "$(dirname "$exe")" && pwd)
while [ "$build_dir" != / ] && [ ! -f "$build_dir/CMakeCache.txt" ]; do build_dir=$(dirname "$build_dir"); done
[ "$build_dir" = / ] && build_dir=$(cd "$(dirname "$exe")" && pwd)
dpi=${KESTRUNE_UI_DPI:-96}
suffix=
[ "$dpi" = 96 ] || suffix=-$dpi
prefix=$build_dir/wineprefix-ui-$language$suffix

# A program folder per language: a probe writes media.txt in the program folder, and the
# folder lock that keeps probes apart lives in one Wine prefix only, so runs in other prefixes
# (the other language, the other Windows tests) must not share the folder. Hard links, or copies.
if [ -z "${KESTRUNE_UI_ON_XVFB:-}" ]; then
  bin=$(cd "$(dirname "$exe")" && pwd)
  run_dir=$build_dir/ui-run-$language$suffix
  mkdir -p "$run_dir"
  for part in "$(basename "$exe")" kestrune.exe kestrune-cli.exe ffmpeg.exe mediainfo.exe unzip.exe exec.bat unzip.bat fake_ffmpeg.exe; do
    [ -f "$bin/$part" ] || continue
    ln -f "$bin/$part" "$run_dir/$part" 2>/dev/null || cp -f "$bin/$part" "$run_dir/$part"
  done
  exe=$run_dir/$(basename "$exe")
fi
if [ -f "$prefix/.kestrune-ready" ] && [ "$source_dir/cmake/wine-prefix-init.sh" -nt "$prefix/.kestrune-ready" ]; then
  rm -rf "$prefix"
fi

export KESTRUNE_WINEPREFIX=$prefix
export KESTRUNE_WINE_LC_ALL=$locale
export KESTRUNE_UI_LANGUAGE=$language
# No browser, no desktop menu entries, no Mono or Gecko installers.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="

# First pass: start a private X server and run this script again inside it.
if [ -z "${KESTRUNE_UI_ON_XVFB:-}" ]; then
  export KESTRUNE_UI_ON_XVFB=1
  exec "$here/with-xvfb.sh" "$0" "$exe" "$language" "$@"
fi

# The resolution is read as a program starts; Wine keeps it per user in the prefix.
if [ "$dpi" != 96 ]; then
  "$source_dir/cmake/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    >/dev/null 2>&1 || { echo "run-ui-tests: cannot set $dpi DPI in $prefix" >&2; exit 1; }
fi

# Standard input is NUL: the batch's commands end in " & pause", and the command interpreter
# reads its key from the input it inherits, so the run goes on at once instead of waiting for
# a key nobody presses. The commands themselves run unchanged.
"$source_dir/cmake/wine-run.sh" "$exe" "$@" </dev/null
status=$?
# Let this prefix's wine server end while its X display still exists.
WINEPREFIX=$prefix timeout 60 wineserver -w || WINEPREFIX=$prefix wineserver -k
exit $status
