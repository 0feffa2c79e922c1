#!/usr/bin/env bash
# Several files at once against one at a time: twelve generated clips run by `kestrune run
# --jobs 2` and by `kestrune run --jobs 1`, side by side in one run, alternating which goes
# first, for three jobs: the remuxes of a merge of files (with its join), the audio extract and
# the H.264 convert with --no-gpu. Prints the wall times and the ratio jobs 2 / jobs 1 of each
# job (targets on a 2-core machine: at most 0.65 for the merge and the audio extract; the
# convert is only reported, its encoder already uses every core), then the peak memory of
# `kestrune run --jobs 2` itself, without its children (target: under 10 MB).
#
#   bash bench/jobs_at_once.sh [path/to/kestrune]
# Environment: BENCH_FILES (12), BENCH_SECONDS (30, clip length), BENCH_ROUNDS (3),
# BENCH_JOBS ("merge audio convert": which of the three to time).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench_common.sh
kestrune=$(realpath "${1:-build/native/bin/kestrune}")
files=${BENCH_FILES:-12}
seconds=${BENCH_SECONDS:-30}
rounds=${BENCH_ROUNDS:-3}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_clips "$work" "$files" "$seconds" "clip" -preset veryfast
inputs=("$work"/clip*.mp4)
echo "batch: $files clips of ${seconds} s, 640x360 H.264 with AAC, on $(nproc) cores"

# Everything a run writes goes; the clips stay.
clean() { find "$work" -maxdepth 1 -type f ! -name 'clip[0-9]*.mp4' -delete; rm -f "$work"/clip*_\(*; }
run_jobs() {  # run_jobs N OPTIONS...
  local jobs=$1
  shift
  "$kestrune" run --jobs "$jobs" "$@" "${inputs[@]}" </dev/null >/dev/null 2>&1 || echo "bench: --jobs $jobs $* failed" >&2
}
measure() {  # measure N OPTIONS...: wall seconds of one run on a clean folder
  clean
  local TIMEFORMAT='%R' wall
  wall=$({ time run_jobs "$@" >/dev/null 2>&1; } 2>&1)
  echo "$wall"
}

declare -A names=([merge]="remux for a merge (and the join)" [audio]="audio extract" [convert]="H.264 convert, --no-gpu")
declare -A options=([merge]="--job merge" [audio]="--job audio" [convert]="--no-gpu --codec h264")
declare -A targets=([merge]="target <= 0.65" [audio]="target <= 0.65" [convert]="reported only")
for job in ${BENCH_JOBS:-merge audio convert}; do
  read -ra opts <<<"${options[$job]}"
  echo
  echo "${names[$job]}: kestrune run ${options[$job]} (12 files)"
  printf '%-6s %10s %10s %7s\n' round "jobs 2" "jobs 1" ratio
  sum2=0; sum1=0
  for r in $(seq 1 "$rounds"); do
    # The machine may be shared: both sides run back to back, alternating which goes first.
    if [ $((r % 2)) -eq 1 ]; then
      w2=$(measure 2 "${opts[@]}"); w1=$(measure 1 "${opts[@]}")
    else
      w1=$(measure 1 "${opts[@]}"); w2=$(measure 2 "${opts[@]}")
    fi
    printf '%-6s %9.2fs %9.2fs %7.3f\n' "$r" "$w2" "$w1" "$(calc "$w2 / $w1")"
    sum2=$(calc "$sum2 + $w2"); sum1=$(calc "$sum1 + $w1")
  done
  printf '%-6s %9.2fs %9.2fs %7.3f  (%s)\n' total "$sum2" "$sum1" "$(calc "$sum2 / $sum1")" "${targets[$job]}"
done
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"

# Peak memory of kestrune itself (VmHWM of its own process, sampled while it runs); its ffmpeg
# children are processes of their own and are not counted.
echo
for job in merge convert; do
  read -ra opts <<<"${options[$job]}"
  clean
  peak=$(peak_kb "$kestrune" run --jobs 2 "${opts[@]}" "${inputs[@]}")
  printf 'peak memory of kestrune run --jobs 2 %s (VmHWM): %d kB = %.1f MB (target < 10 MB)\n' \
    "${options[$job]}" "$peak" "$(calc "$peak / 1024")"
done
