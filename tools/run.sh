#!/usr/bin/env bash
# Installs what is missing, builds both targets and runs Kestrune's main job: probes the media
# file given as argument (or a short sample clip made with ffmpeg) and prints its description.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh native windows
file=${1:-}
if [ -z "$file" ]; then
  file=build/sample/sample.mp4
  mkdir -p build/sample
  ffmpeg -hide_banner -loglevel error -nostdin -y \
    -f lavfi -i testsrc=size=1280x720:rate=25:duration=5 \
    -f lavfi -i sine=frequency=440:sample_rate=48000:duration=5 \
    -c:v libx264 -pix_fmt yuv420p -c:a aac -b:a 192k -ac 2 -metadata:s:a:0 language=kor "$file"
  echo "sample clip: $file"
fi
build/native/bin/kestrune probe "$file"
build/native/bin/kestrune probe --json "$file"
