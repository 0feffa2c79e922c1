#!/usr/bin/env bash
# The batch worker against a plain script: a convert batch of short generated clips (GPU off)
# run by `kestrune run`, and the same command lines (from `kestrune plan`) run one after another
# by bench/run_plan.sh, side by side in one run, alternating which goes first. Prints both wall
# times and their ratio (target: kestrune / script <= 1.05), then the peak memory of
# `kestrune run` on the same batch (target: under 20 MB).
#
#   bash bench/batch_vs_script.sh [path/to/kestrune]
# Environment: BENCH_FILES (10), BENCH_SECONDS (4, clip length), BENCH_ROUNDS (3).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench_common.sh
kestrune=$(realpath "${1:-build/native/bin/kestrune}")
files=${BENCH_FILES:-10}
seconds=${BENCH_SECONDS:-4}
rounds=${BENCH_ROUNDS:-3}
options=(--no-gpu)  # the default conversion otherwise needs an NVIDIA GPU

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_clips "$work" "$files" "$seconds" "clip"
inputs=("$work"/clip*.mp4)
"$kestrune" plan "${options[@]}" "${inputs[@]}" >"$work/plan.txt"
echo "batch: $files clips of ${seconds} s, 640x360, converted to H.265 with --no-gpu"
echo "first command: $(head -n 1 "$work/plan.txt")"

clean() { rm -f "$work"/*_\(0[0-9]\).mp4; }
run_kestrune() { "$kestrune" run "${options[@]}" "${inputs[@]}" </dev/null >/dev/null 2>&1; }
run_script() { bash bench/run_plan.sh "$work/plan.txt" </dev/null >/dev/null 2>&1; }
measure() {  # measure NAME: runs it on a clean folder; prints wall and CPU (user + sys, children included) seconds
  clean
  local TIMEFORMAT='%R %U %S' times
  times=$({ time "run_$1" >/dev/null 2>&1 || echo "bench: $1 failed" >&2; } 2>&1)
  set -- $times
  echo "$1 $(calc "$2 + $3")"
}

# The machine may be shared: each round runs both sides back to back, alternating which goes
# first, so a change of load hits both alike.
sum_kw=0; sum_sw=0; sum_kc=0; sum_sc=0
ratios=()
printf '%-6s %10s %10s %7s %11s %11s\n' round kestrune script ratio "cpu kestr." "cpu script"
for r in $(seq 1 "$rounds"); do
  if [ $((r % 2)) -eq 1 ]; then
    read -r kw kc < <(measure kestrune); read -r sw sc < <(measure script)
  else
    read -r sw sc < <(measure script); read -r kw kc < <(measure kestrune)
  fi
  ratio=$(calc "$kw / $sw")
  ratios+=("$ratio")
  printf '%-6s %9.2fs %9.2fs %7.3f %10.2fs %10.2fs\n' "$r" "$kw" "$sw" "$ratio" "$kc" "$sc"
  sum_kw=$(calc "$sum_kw + $kw"); sum_sw=$(calc "$sum_sw + $sw")
  sum_kc=$(calc "$sum_kc + $kc"); sum_sc=$(calc "$sum_sc + $sc")
done
median=$(printf '%s\n' "${ratios[@]}" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
printf '%-6s %9.2fs %9.2fs %7.3f %10.2fs %10.2fs\n' total "$sum_kw" "$sum_sw" "$(calc "$sum_kw / $sum_sw")" "$sum_kc" "$sum_sc"
printf 'wall-time ratio kestrune/script: %.3f over all rounds, %.3f median of rounds (target <= 1.05)\n' \
  "$(calc "$sum_kw / $sum_sw")" "$median"
printf 'cpu-time ratio kestrune/script: %.3f\n' "$(calc "$sum_kc / $sum_sc")"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"

# Both sides must have written the same outputs: the commands are the same.
clean
run_kestrune
ls "$work" | grep -c '_(02).mp4' | xargs printf 'outputs written by kestrune run: %s\n'

# Peak memory of kestrune itself (VmHWM), sampled while it runs; /usr/bin/time -v, when present,
# reports the largest process of the whole tree, that is ffmpeg.
clean
peak=$(peak_kb "$kestrune" run "${options[@]}" "${inputs[@]}")
printf 'peak memory of kestrune run (VmHWM): %d kB = %.1f MB (target < 20 MB)\n' "$peak" "$(calc "$peak / 1024")"
if [ -x /usr/bin/time ]; then
  clean
  /usr/bin/time -v "$kestrune" run "${options[@]}" "${inputs[@]}" </dev/null 2>&1 >/dev/null |
    awk -F': ' '/Maximum resident set size/ {printf "largest process of the run (ffmpeg included, /usr/bin/time -v): %d kB\n", $2}'
fi
