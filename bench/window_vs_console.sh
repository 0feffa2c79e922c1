#!/usr/bin/env bash
# What the window's progress costs a run: one clip converted the window's way under Wine, side
# by side in one run, by kestrune_run_driver.exe in three modes, alternating which goes first:
#   console  the command alone in a console of the console host, as the window ran it before
#            it showed any progress (no relay)
#   relay    the same command, its standard error relayed to the starter and read there as the
#            window reads it (ffmpeg's statistics parsed, the console showing everything still)
#   window   the whole window run from Start to its end: the probe of the input, the same
#            command with the relay, the check of the output, the progress bar and status line
# Prints each side's wall time (in the process, from the start of the run to its end) and the
# ratios relay/console (target <= 1.02: the relay costs nothing measurable) and window/console
# (target <= 1.02), over all rounds and their median; then the window's own part, from Start to
# its command and from the command's end to the window hearing of it (the output's check, which
# `kestrune run` pays too, see output_check.sh; the input's description the window took when the
# clip was clicked).
#
#   bash bench/window_vs_console.sh [BUILD-DIR]    (default build/windows)
# Environment: BENCH_SECONDS (30, clip length), BENCH_ROUNDS (5). Runs on a private X server
# (Xvfb) and in a Wine prefix of its own (BUILD-DIR/wineprefix-bench).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/.." && pwd)
source "$here/bench_common.sh"
build=$(realpath "${1:-$source_dir/build/windows}")
seconds=${BENCH_SECONDS:-30}
rounds=${BENCH_ROUNDS:-5}
driver=$build/bin/kestrune_run_driver.exe
for program in "$driver" "$build/bin/kestrune-cli.exe" "$build/bin/ffmpeg.exe" "$build/bin/mediainfo.exe"; do
  [ -f "$program" ] || { echo "bench: $program is missing; build it first" >&2; exit 2; }
done

export KESTRUNE_WINEPREFIX=$build/wineprefix-bench
export KESTRUNE_WINE_LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
if [ -z "${DISPLAY_FOR_BENCH:-}" ]; then
  export DISPLAY_FOR_BENCH=1
  exec "$source_dir/tests/ui/with-xvfb.sh" "$0" "$build"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_clips "$work" 1 "$seconds" clip -preset veryfast
clip=$work/clip1.mp4
windows_clip="Z:${clip//\//\\}"
echo "clip: ${seconds} s, 640x360 H.264 with AAC, converted to H.265 on the CPU; under $(wine --version 2>/dev/null || echo Wine) on $(nproc) cores"

# run MODE: prints the driver's milliseconds; the output goes before each run.
run() {
  rm -f "$work"/clip1_\(0[0-9]\).*
  local line
  line=$("$source_dir/cmake/wine-run.sh" "$driver" "$1" "$windows_clip" </dev/null 2>"$work/err") || {
    echo "bench: $1 failed: $line" >&2
    cat "$work/err" >&2
    exit 1
  }
  # The window's own part: before its command and after it.
  if [ "$1" = window ]; then
    grep -o '[0-9]* ms' <<<"$line" | awk 'NR > 1 { sum += $1 } END { print sum }' >>"$work/added"
  fi
  grep -o '[0-9]* ms' <<<"$line" | { read -r ms _; echo "$ms"; }
}

# The prefix is made, and each side run once, before the first timed round.
for mode in console relay window; do run "$mode" >/dev/null; done
rm -f "$work/added"
printf '%-6s %10s %10s %10s %9s %9s\n' round console relay window relay/c window/c
sum_c=0; sum_r=0; sum_w=0
relay_ratios=(); window_ratios=()
for r in $(seq 1 "$rounds"); do
  # The machine may be shared: each round runs the three back to back, in turn first.
  case $((r % 3)) in
    1) c=$(run console); rl=$(run relay); w=$(run window) ;;
    2) rl=$(run relay); w=$(run window); c=$(run console) ;;
    0) w=$(run window); c=$(run console); rl=$(run relay) ;;
  esac
  printf '%-6s %8.0fms %8.0fms %8.0fms %9.3f %9.3f\n' "$r" "$c" "$rl" "$w" "$(calc "$rl / $c")" "$(calc "$w / $c")"
  sum_c=$(calc "$sum_c + $c"); sum_r=$(calc "$sum_r + $rl"); sum_w=$(calc "$sum_w + $w")
  relay_ratios+=("$(calc "$rl / $c")"); window_ratios+=("$(calc "$w / $c")")
done
printf '%-6s %8.0fms %8.0fms %8.0fms %9.3f %9.3f\n' total "$sum_c" "$sum_r" "$sum_w" "$(calc "$sum_r / $sum_c")" \
  "$(calc "$sum_w / $sum_c")"
echo "ratios over all rounds: relay/console $(calc "$sum_r / $sum_c") (target <= 1.02), window/console $(calc "$sum_w / $sum_c") (target <= 1.02)"
echo "median of rounds: relay/console $(median "${relay_ratios[@]}"), window/console $(median "${window_ratios[@]}")"
added=$(awk '{ sum += $1 } END { printf "%.0f", sum / NR }' "$work/added")
echo "the window's own part (from Start to its command, and from the command's end to the window's): ${added} ms a run, $(calc "100 * $added * $rounds / $sum_c")% of the console's time"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
