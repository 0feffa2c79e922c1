# Shared by the benchmark scripts (sourced, not run).

calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }

# median NUMBER...: the middle one (the mean of the middle two of an even count); one round that
# the machine slowed weighs no more than any other.
median() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# peak_kb COMMAND...: runs it without input or output and prints the largest resident size its
# own process reached (VmHWM, in kB), sampled while it runs; its children are processes of
# their own and are not counted.
peak_kb() {
  "$@" </dev/null >/dev/null 2>&1 &
  local pid=$! peak=0 hwm
  while [ -r "/proc/$pid/status" ]; do
    hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
    [ -n "$hwm" ] && [ "$hwm" -gt "$peak" ] && peak=$hwm
    sleep 0.01
  done
  wait "$pid" || echo "bench: $* failed" >&2
  echo "$peak"
}

# make_clips FOLDER COUNT SECONDS NAME [X264-OPTION...]: COUNT clips FOLDER/NAME01.mp4 ...,
# 640x360 H.264 with stereo AAC, each with a tone of its own.
make_clips() {
  local folder=$1 count=$2 seconds=$3 name=$4 i
  shift 4
  for i in $(seq -w 1 "$count"); do
    ffmpeg -hide_banner -loglevel error -nostdin -y \
      -f lavfi -i "testsrc2=size=640x360:rate=25:duration=$seconds" \
      -f lavfi -i "sine=frequency=$((300 + 10#$i * 20)):sample_rate=48000:duration=$seconds" \
      -c:v libx264 "$@" -pix_fmt yuv420p -c:a aac -b:a 192k -ac 2 "$folder/$name$i.mp4"
  done
}
