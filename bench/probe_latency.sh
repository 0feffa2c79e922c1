#!/usr/bin/env bash
# Probe latency: ProbeMediaFile (batch file + MediaInfo + wait + parse) against running
# "mediainfo FILE > report" directly, side by side in one run, natively and, when the Windows
# build is there, under Wine (batch file through cmd, MediaInfo through the Wine bridge).
# Prints every pair and the median ratio; the native target is a ratio of at most 1.10.
#   bench/probe_latency.sh [PAIRS] [NATIVE_BUILD_DIR] [WINDOWS_BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
pairs=${1:-21}
native=${2:-build/native}
windows=${3:-build/windows}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sample=$work/sample.mp4
ffmpeg -hide_banner -loglevel error -nostdin -y \
  -f lavfi -i testsrc=size=1280x720:rate=25:duration=10 \
  -f lavfi -i sine=frequency=440:sample_rate=48000:duration=10 \
  -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 192k -ac 2 "$sample"
echo "sample: 10 s 1280x720 H.264 + AAC, $(stat -c %s "$sample") bytes; $pairs pairs after one warm-up pair"

echo "== native ($native)"
"$native/bin/probe_latency" "$sample" "$pairs" | tee "$work/native.txt"

if [ -x "$windows/bin/probe_latency.exe" ]; then
  echo "== Wine ($windows)"
  cmake/wine-run.sh "$windows/bin/probe_latency.exe" "Z:${sample//\//\\}" "$pairs" | tr -d '\r' | tee "$work/wine.txt"
  # The Wine probe against the native direct run: what a Linux user of the Windows program pays.
  wineProbe=$(awk '/^median/ { print $3 }' "$work/wine.txt")
  nativeDirect=$(awk '/^median/ { print $8 }' "$work/native.txt")
  awk -v a="$wineProbe" -v b="$nativeDirect" \
    'BEGIN { printf "Wine ProbeMediaFile median %.2f ms / native mediainfo > report median %.2f ms = %.3f\n", a, b, a / b }'
fi
