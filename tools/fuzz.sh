#!/usr/bin/env bash
# Fuzzes the MediaInfo report parser: tools/fuzz.sh [SECONDS] (default 30).
# Builds fuzz/report_parser_fuzz.cpp with clang's libFuzzer under ASan and UBSan (every report
# fatal), seeds a corpus in build/fuzz/ with real MediaInfo reports of media made here by the
# ffmpeg command line, and runs for the given time; at the end it prints how many inputs ran and
# how many a second. Exits 0 only when the run ended without a crash, a hang, an out-of-memory
# or any sanitizer report.
set -euo pipefail
seconds=${1:-30}
case $seconds in '' | *[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;; esac

root=$(cd "$(dirname "$0")/.." && pwd)
work=$root/build/fuzz
fuzzer=$work/report_parser_fuzz
mkdir -p "$work/corpus" "$work/seeds" "$work/artifacts"

for tool in clang++ ffmpeg mediainfo; do
  command -v "$tool" >/dev/null || { echo "fuzz: $tool is missing (tools/setup.sh installs it)" >&2; exit 1; }
done

# Only the parser and the base helpers it stands on; no CMake build tree is needed.
sources=(
  fuzz/report_parser_fuzz.cpp
  src/probe/report_parser.cpp src/probe/media_desc.cpp
  src/base/file_util.cpp src/base/file_identity.cpp src/base/format.cpp src/base/text.cpp
  src/base/sink_registry.cpp
)
# Coverage guides the fuzzer through the parser's own decisions; the standard library's and
# {fmt}'s inline code and the character conversion are left out of it (the sanitizers still
# check them): their counters only slow every input down.
printf 'src:/usr/*\nsrc:*src/base/text.cpp\n' >"$work/coverage-ignore.txt"
stale=0
[ -x "$fuzzer" ] || stale=1
for f in "${sources[@]/#/$root/}" "$root"/src/probe/*.h "$root"/src/base/*.h "$root/tools/fuzz.sh"; do
  if [ "$f" -nt "$fuzzer" ]; then stale=1; break; fi
done
if [ $stale -eq 1 ]; then
  echo "fuzz: building $fuzzer"
  (cd "$root" && clang++ -std=c++17 -g -O1 -Wall -Wextra -I src \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer \
    -fsanitize-coverage-ignorelist="$work/coverage-ignore.txt" \
    "${sources[@]}" -lfmt -o "$fuzzer")
fi

# Seeds: MediaInfo's reports (default and full) of small media of every kind the tool meets.
if [ -z "$(ls -A "$work/seeds")" ]; then
  echo "fuzz: making seed reports"
  media=$(mktemp -d "$work/media.XXXXXX")
  trap 'rm -rf "$media"' EXIT
  v=(-f lavfi -i testsrc=size=320x240:rate=25:duration=1)
  tone() { echo "-f lavfi -i sine=frequency=$1:sample_rate=48000:duration=1"; }
  ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }
  printf '1\n00:00:00,000 --> 00:00:00,500\nhello\n\n' >"$media/sub.srt"
  ff "${v[@]}" $(tone 440) -c:v libx264 -pix_fmt yuv420p -c:a aac -b:a 192k "$media/h264_aac.mp4"
  ff "${v[@]}" $(tone 440) -c:v libx265 -x265-params log-level=none -pix_fmt yuv420p -c:a ac3 -ac 6 \
    -metadata:s:a:0 language=kor "$media/hevc_ac3.mkv"
  ff "${v[@]}" $(tone 440) $(tone 550) -i "$media/sub.srt" -i "$media/sub.srt" -map 0:v -map 1:a -map 2:a \
    -map 3:s -map 4:s -c:v libx264 -pix_fmt yuv420p -c:a aac -c:s srt -metadata:s:a:0 language=eng \
    -metadata:s:a:1 language=jpn "$media/subs.mkv"
  ff "${v[@]}" $(tone 440) -c:v libvpx-vp9 -deadline realtime -cpu-used 8 -c:a libopus "$media/vp9.webm"
  ff "${v[@]}" $(tone 440) -c:v libvpx -deadline realtime -c:a libvorbis "$media/vp8.webm"
  ff "${v[@]}" $(tone 440) -c:v mpeg4 -vtag XVID -c:a libmp3lame "$media/xvid.avi"
  ff "${v[@]}" $(tone 440) -c:v libx264 -pix_fmt yuv420p -c:a eac3 "$media/eac3.mkv"
  ff -f lavfi -i testsrc=size=160x120:rate=10:duration=1 "$media/anim.gif"
  ff "${v[@]}" -frames:v 1 "$media/still.png"
  ff $(tone 440) -c:a libmp3lame -b:a 192k "$media/tone.mp3"
  ff $(tone 440) -c:a pcm_s16le "$media/tone.wav"
  twelve=("${v[@]}")
  for i in $(seq 1 12); do twelve+=($(tone $((300 + 50 * i)))); done
  twelve+=(-map 0:v)
  for i in $(seq 1 12); do twelve+=(-map "$i:a"); done
  ff "${twelve[@]}" -c:v libx264 -pix_fmt yuv420p -c:a aac "$media/twelve.mkv"
  for file in "$media"/*; do
    case $file in *.srt) continue ;; esac
    name=$(basename "$file")
    mediainfo "$file" >"$work/seeds/$name.txt"
    mediainfo -f "$file" >"$work/seeds/$name.full.txt"
  done
fi

# Words of the report's vocabulary, so mutations reach the rules quickly.
cat >"$work/report.dict" <<'EOF'
"General"
"Video"
"Image"
"Audio"
"Audio #"
"Text #"
"Menu"
"File size"
"Stream size"
"Duration"
"Format"
"Codec ID"
"Bit rate"
"Frame rate"
"Width"
"Height"
"Bit depth"
"Language"
"Channel(s)"
"ID"
" : "
" GiB"
" MiB"
" KiB"
" h "
" min "
" s "
" ms"
"AC-3"
"JAPANESE"
"1e308"
"99999999999"
"\x0a"
EOF

log=$work/fuzz.log
echo "fuzz: running for $seconds s (log: $log)"
status=0
(cd "$work" &&
  ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:allocator_may_return_null=0 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  "$fuzzer" -max_total_time="$seconds" -error_exitcode=77 -timeout_exitcode=78 -timeout=10 \
    -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 -dict="$work/report.dict" \
    -artifact_prefix="$work/artifacts/" "$work/corpus" "$work/seeds") >"$log" 2>&1 || status=$?
grep -E '^(Done |stat::)|ERROR|runtime error|SUMMARY' "$log" | tail -n 12 || true
# libFuzzer's final statistics: the inputs run and its own rate over the whole run.
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
echo "fuzz: ${runs:-?} inputs run in $seconds s, ${rate:-?} inputs a second"
if [ $status -ne 0 ] || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|report_parser_fuzz:' "$log"; then
  echo "fuzz: FAILED (exit $status); inputs in $work/artifacts/" >&2
  exit 1
fi
echo "fuzz: no crash and no sanitizer report in $seconds s"
