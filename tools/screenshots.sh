#!/usr/bin/env bash
# Takes the pictures of the main window shown in the README: starts the real kestrune.exe under
# Wine on a private X server, once in Korean (ko_KR.UTF-8) and once in English (C.UTF-8),
# and writes docs/main-window-ko.png and docs/main-window-en.png, cropped to the window; then
# the window in use (files dropped, one clicked, a command built; kestrune_filled_window.exe,
# which makes its clips with ffmpeg) as docs/main-window-filled.png; then, in both languages, a
# run of that list with a download cut short among it: while it goes on (docs/run-LANG.png) and
# at its end, the end message naming the short file open (docs/run-end-LANG.png).
# Usage: tools/screenshots.sh [BUILD-DIR]   (default build/windows; built when missing)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${1:-build/windows}
case $build in /*) ;; *) build=$root/$build ;; esac

[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$build" --target kestrune_gui kestrune_filled_window
for tool in xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing (bash tools/setup.sh)" >&2; exit 1; }
done
mkdir -p "$root/docs"

# One picture, inside the private X server: start the program, wait for its window (and for the
# filled one to say it is ready), take the screen and crop it to the window, end the program's
# Wine processes.
shoot() {
  local language=$1 locale=$2 out=$3 program=${4:-kestrune.exe}
  local prefix=$build/wineprefix-shots-$language
  if [ -f "$prefix/.kestrune-ready" ] && [ "$root/cmake/wine-prefix-init.sh" -nt "$prefix/.kestrune-ready" ]; then
    rm -rf "$prefix"
  fi
  export KESTRUNE_WINEPREFIX=$prefix KESTRUNE_WINE_LC_ALL=$locale
  export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
  local log=$prefix-$program.log
  "$root/cmake/wine-run.sh" "$build/bin/$program" </dev/null >"$log" 2>&1 &
  local program_pid=$! window=
  for _ in $(seq 1 360); do
    window=$(xdotool search --name 'Kestrune' 2>/dev/null | head -n 1 || true)
    if [ -n "$window" ] && { [ "$program" = kestrune.exe ] || grep -q '^ready' "$log"; }; then break; fi
    window=
    sleep 0.5
  done
  if [ -z "$window" ]; then
    echo "screenshots: the window did not come up ($language, $program; see $log)" >&2
    WINEPREFIX=$prefix wineserver -k || true
    return 1
  fi
  sleep 2  # let it finish painting
  local X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
  WINEPREFIX=$prefix wineserver -k || true
  wait "$program_pid" 2>/dev/null || true
  echo "screenshots: $out (${WIDTH}x${HEIGHT})"
}

# The pictures of a run: the filled window started with "run" in a media folder made anew (so
# no earlier run's outputs or reports ask anything), taken when it says "running" and "ended".
shoot_run() {
  local language=$1 locale=$2
  local prefix=$build/wineprefix-shots-$language
  export KESTRUNE_WINEPREFIX=$prefix KESTRUNE_WINE_LC_ALL=$locale
  export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
  rm -rf "$prefix/drive_c/RunShots"
  local log=$prefix-run.log
  "$root/cmake/wine-run.sh" "$build/bin/kestrune_filled_window.exe" 'C:\RunShots\' run </dev/null >"$log" 2>&1 &
  local program_pid=$! window= stage
  for stage in running ended; do
    for _ in $(seq 1 720); do
      grep -q "^$stage" "$log" && break
      sleep 0.5
    done
    grep -q "^$stage" "$log" || { echo "screenshots: the run did not reach '$stage' ($language; see $log)" >&2; break; }
    [ -n "$window" ] || window=$(xdotool search --name 'Kestrune' 2>/dev/null | head -n 1 || true)
    # The window over the consoles of its commands.
    [ "$stage" = running ] && xdotool windowraise "$window" 2>/dev/null || true
    sleep 2
    local X Y WIDTH HEIGHT SCREEN out=$root/docs/run-$language.png
    [ "$stage" = ended ] && out=$root/docs/run-end-$language.png
    eval "$(xdotool getwindowgeometry --shell "$window")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
    echo "screenshots: $out (${WIDTH}x${HEIGHT})"
  done
  WINEPREFIX=$prefix wineserver -k || true
  wait "$program_pid" 2>/dev/null || true
}

if [ -z "${KESTRUNE_SHOTS_ON_XVFB:-}" ]; then
  export KESTRUNE_SHOTS_ON_XVFB=1
  exec "$root/tests/ui/with-xvfb.sh" "$0" "$build"
fi
shoot ko ko_KR.UTF-8 "$root/docs/main-window-ko.png"
shoot en C.UTF-8 "$root/docs/main-window-en.png"
shoot ko ko_KR.UTF-8 "$root/docs/main-window-filled.png" kestrune_filled_window.exe
shoot_run ko ko_KR.UTF-8
shoot_run en C.UTF-8
