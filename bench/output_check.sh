#!/usr/bin/env bash
# The cost of checking each output: one 30 s clip converted by `kestrune run` (which probes the
# input, runs ffmpeg, then probes the output to check its length) and the same command line
# (from `kestrune plan`) run by ffmpeg alone through bench/run_plan.sh, side by side in one run,
# alternating which goes first. Prints both wall times and their ratio (target: kestrune /
# ffmpeg alone <= 1.02), then what one probe of the output costs by itself.
#
#   bash bench/output_check.sh [path/to/kestrune]
# Environment: BENCH_SECONDS (30, clip length), BENCH_ROUNDS (5), BENCH_OPTIONS ("--no-gpu":
# the window's default conversion, H.265, on the CPU).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench_common.sh
kestrune=$(realpath "${1:-build/native/bin/kestrune}")
seconds=${BENCH_SECONDS:-30}
rounds=${BENCH_ROUNDS:-5}
read -ra options <<<"${BENCH_OPTIONS:---no-gpu}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ffmpeg -hide_banner -loglevel error -nostdin -y \
  -f lavfi -i "testsrc2=size=640x360:rate=25:duration=$seconds" \
  -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=$seconds" \
  -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 192k -ac 2 "$work/clip.mp4"
"$kestrune" plan "${options[@]}" "$work/clip.mp4" >"$work/plan.txt"
echo "clip: ${seconds} s, 640x360 H.264 with AAC; kestrune run ${options[*]}"
echo "command: $(cat "$work/plan.txt")"

clean() { rm -f "$work"/clip_\(0[0-9]\).*; }
run_kestrune() { "$kestrune" run "${options[@]}" "$work/clip.mp4" </dev/null >/dev/null 2>&1; }
run_ffmpeg() { bash bench/run_plan.sh "$work/plan.txt" </dev/null >/dev/null 2>&1; }
measure() {  # measure NAME: wall seconds of one run on a clean folder
  clean
  local TIMEFORMAT='%R' wall
  wall=$({ time "run_$1" >/dev/null 2>&1 || echo "bench: $1 failed" >&2; } 2>&1)
  echo "$wall"
}

# One untimed run of each side first, so neither timed round pays for loading the programs and
# the clip from a cold disk.
measure kestrune >/dev/null; measure ffmpeg >/dev/null

# The machine may be shared: each round runs both sides back to back, alternating which goes
# first, so a change of load hits both alike.
sum_k=0; sum_f=0
ratios=()
printf '%-6s %10s %12s %7s\n' round kestrune "ffmpeg alone" ratio
for r in $(seq 1 "$rounds"); do
  if [ $((r % 2)) -eq 1 ]; then
    k=$(measure kestrune); f=$(measure ffmpeg)
  else
    f=$(measure ffmpeg); k=$(measure kestrune)
  fi
  ratio=$(calc "$k / $f")
  ratios+=("$ratio")
  printf '%-6s %9.2fs %11.2fs %7.3f\n' "$r" "$k" "$f" "$ratio"
  sum_k=$(calc "$sum_k + $k"); sum_f=$(calc "$sum_f + $f")
done
median=$(median "${ratios[@]}")
printf '%-6s %9.2fs %11.2fs %7.3f\n' total "$sum_k" "$sum_f" "$(calc "$sum_k / $sum_f")"
printf 'wall-time ratio kestrune/ffmpeg alone: %.3f over all rounds, %.3f median of rounds (target <= 1.02)\n' \
  "$(calc "$sum_k / $sum_f")" "$median"

# What the check adds by itself: one probe of the output, timed as `kestrune probe` of it (the
# same probe, with a process start of its own on top), over ten probes.
clean
run_kestrune || true
output=$(ls "$work"/clip_\(02\).* | head -n 1)
TIMEFORMAT='%R'
probes=$({ time for _ in $(seq 1 10); do "$kestrune" probe "$output" >/dev/null 2>&1; done; } 2>&1)
printf 'one probe of the output (kestrune probe, mean of 10): %.3fs = %.2f%% of the ffmpeg-alone run\n' \
  "$(calc "$probes / 10")" "$(calc "100 * $probes / 10 / ($sum_f / $rounds)")"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
