#!/usr/bin/env bash
# How each job fares on ordinary media: a corpus of files generated with ffmpeg (the codecs and
# containers people have, and a few made to be awkward), each run through `kestrune run --no-gpu`
# with each job (convert, --job video, --job audio). Prints a table job x file -> outcome: done,
# failed, short or skipped as the run counts it, with its exit code. A figure, not a test: run
# it with two builds to compare them.
#
#   bash bench/corpus_outcomes.sh path/to/kestrune [SECONDS]
# SECONDS (5) is the length of each clip.
set -uo pipefail
if [ $# -lt 1 ]; then
  echo "usage: $0 path/to/kestrune [SECONDS]" >&2
  exit 2
fi
kestrune=$(realpath "$1")
seconds=${2:-5}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
corpus=$work/corpus
mkdir -p "$corpus"

picture() { echo "-f lavfi -i testsrc=size=320x240:rate=25:duration=$1"; }
tone() { echo "-f lavfi -i sine=frequency=$1:sample_rate=$2:duration=$3"; }
clip() {  # clip NAME FFMPEG-ARGUMENTS...: one corpus file
  local name=$1
  shift
  # shellcheck disable=SC2068
  ffmpeg -hide_banner -loglevel error -nostdin -y $@ "$corpus/$name" || echo "corpus: $name not made" >&2
}
s=$seconds
clip pcm.wav $(tone 440 44100 "$s") -c:a pcm_s16le
clip pcm-8k-mono.wav $(tone 440 8000 "$s") -ac 1 -c:a pcm_u8
clip song.flac $(tone 440 44100 "$s") -c:a flac
clip song.wma $(tone 440 44100 "$s") -c:a wmav2 -b:a 128k
clip song.opus $(tone 440 48000 "$s") -c:a libopus -b:a 64k
clip vorbis-8k-mono.ogg $(tone 440 8000 "$s") -ac 1 -c:a libvorbis
clip mp3-8k.mp3 $(tone 440 8000 "$s") -ac 1 -c:a libmp3lame -b:a 16k
clip audio-only.mp4 $(tone 440 48000 "$s") -c:a aac -b:a 128k
clip ac3.ac3 $(tone 440 48000 "$s") -ac 6 -c:a ac3
clip multi-track.mkv $(picture "$s") $(tone 440 48000 "$s") $(tone 550 48000 "$s") $(tone 660 44100 "$s") \
  -map 0:v -map 1:a -map 2:a -map 3:a -c:v libx264 -preset veryfast -pix_fmt yuv420p \
  -c:a:0 aac -c:a:1 ac3 -c:a:2 libmp3lame -metadata:s:a:0 language=eng -metadata:s:a:1 language=jpn \
  -metadata:s:a:2 language=fre
clip vp8.webm $(picture "$s") $(tone 440 48000 "$s") -c:v libvpx -deadline realtime -cpu-used 8 -b:v 300k \
  -c:a libvorbis
clip vp9.webm $(picture "$s") $(tone 440 48000 "$s") -c:v libvpx-vp9 -deadline realtime -cpu-used 8 -b:v 300k \
  -c:a libopus
clip clip.wmv $(picture "$s") $(tone 440 44100 "$s") -c:v wmv2 -c:a wmav2 -b:a 128k
clip program-stream.mpg $(picture "$s") $(tone 440 48000 "$s") -c:v mpeg2video -c:a mp2 -b:a 192k -f vob
clip divx3.avi $(picture "$s") $(tone 440 44100 "$s") -c:v msmpeg4 -c:a libmp3lame -b:a 128k
clip camera.mp4 $(picture "$s") $(tone 440 48000 "$s") -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac
clip unequal-streams.mkv $(picture "$s") $(tone 440 48000 $((s / 2 > 0 ? s / 2 : 1))) -c:v libx264 \
  -preset veryfast -pix_fmt yuv420p -c:a aac
clip starts-late.ts $(picture "$s") $(tone 440 48000 "$s") -c:v libx264 -preset veryfast -pix_fmt yuv420p \
  -c:a aac -output_ts_offset 30
clip truncated.mkv $(picture $((2 * s))) $(tone 440 48000 $((2 * s))) -c:v libx264 -preset veryfast \
  -pix_fmt yuv420p -c:a aac
if [ -f "$corpus/truncated.mkv" ]; then truncate -s $(($(stat -c %s "$corpus/truncated.mkv") / 2)) "$corpus/truncated.mkv"; fi

# outcome JOB FILE: how one run of the job on the file went, as its summary counts it.
outcome() {
  local job=$1 file=$2 out=$work/out-$1 log=$work/log code summary
  mkdir -p "$out"
  "$kestrune" run --no-gpu --job "$job" --output-dir "$out" "$corpus/$file" </dev/null >"$log" 2>&1
  code=$?
  summary=$(grep -E 'kestrune: [0-9]+ files?: ' "$log" | tail -1)
  local word=none n
  for n in done skipped failed short; do
    if echo "$summary" | grep -Eq "[1-9][0-9]* $n"; then word=$n; fi
  done
  echo "$word ($code)"
}

jobs=(convert video audio)
printf '%-22s' file
for job in "${jobs[@]}"; do printf ' %-13s' "$job"; done
printf '\n'
for path in "$corpus"/*; do
  file=$(basename "$path")
  printf '%-22s' "$file"
  for job in "${jobs[@]}"; do printf ' %-13s' "$(outcome "$job" "$file")"; done
  printf '\n'
done
echo "kestrune: $kestrune; clips of ${seconds} s; outcomes as the run counts them (exit code)"
