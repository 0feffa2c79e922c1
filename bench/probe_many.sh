#!/usr/bin/env bash
# Probing many files: `kestrune probe` over twelve short generated clips against `mediainfo`
# over the same twelve in one call, side by side in one run, alternating which goes first.
# Prints each pair's wall times and their ratio, and the median ratio (target on a 2-core
# machine: at most 1.2). Both print what they find to /dev/null; kestrune's summaries are made
# from MediaInfo's reports, so what is timed is MediaInfo's work plus kestrune's own.
#
#   bash bench/probe_many.sh [path/to/kestrune]
# Environment: BENCH_FILES (12), BENCH_SECONDS (2, clip length), BENCH_PAIRS (15).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench_common.sh
kestrune=$(realpath "${1:-build/native/bin/kestrune}")
files=${BENCH_FILES:-12}
seconds=${BENCH_SECONDS:-2}
pairs=${BENCH_PAIRS:-15}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_clips "$work" "$files" "$seconds" "clip " -preset veryfast
inputs=("$work"/clip*.mp4)
echo "probe: $files clips of ${seconds} s, 640x360 H.264 with AAC, on $(nproc) cores; $pairs pairs after a warm-up pair"

wall() {  # wall COMMAND...: the command's wall time in seconds
  local start end
  start=$(date +%s%N)
  "$@" </dev/null >/dev/null 2>&1 || echo "bench: $1 failed" >&2
  end=$(date +%s%N)
  calc "($end - $start) / 1e9"
}
one_pair() {  # one_pair N: "kestrune mediainfo" wall seconds, in an order that alternates
  local k m
  if [ $(($1 % 2)) -eq 1 ]; then
    k=$(wall "$kestrune" probe "${inputs[@]}"); m=$(wall mediainfo "${inputs[@]}")
  else
    m=$(wall mediainfo "${inputs[@]}"); k=$(wall "$kestrune" probe "${inputs[@]}")
  fi
  echo "$k $m"
}

one_pair 0 >/dev/null
printf '%-5s %12s %12s %7s\n' pair kestrune mediainfo ratio
ratios=()
for p in $(seq 1 "$pairs"); do
  read -r k m <<<"$(one_pair "$p")"
  ratio=$(calc "$k / $m")
  ratios+=("$ratio")
  printf '%-5s %11.1fms %11.1fms %7.3f\n' "$p" "$(calc "$k * 1000")" "$(calc "$m * 1000")" "$ratio"
done
median=$(printf '%s\n' "${ratios[@]}" | sort -g | awk '{ r[NR] = $1 } END { print (NR % 2) ? r[(NR + 1) / 2] : (r[NR / 2] + r[NR / 2 + 1]) / 2 }')
printf 'median ratio kestrune probe / mediainfo over %d files: %.3f (target <= 1.2)\n' "$files" "$median"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
