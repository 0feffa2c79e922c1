#!/usr/bin/env bash
# Installs what is missing, builds both targets and runs Kestrune: the window (kestrune.exe under
# Wine, on the user's display) when there is a display, otherwise the command-line demo, which
# probes the media file given as argument (or a short sample clip made with ffmpeg), prints its
# description and the ffmpeg command a conversion would run.
# Usage: tools/run.sh [MEDIA-FILE]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash tools/setup.sh
bash tools/build.sh native windows

file=${1:-}
if [ -z "$file" ]; then
  file=build/sample/sample.mp4
  if [ ! -s "$file" ]; then
    mkdir -p build/sample
    ffmpeg -hide_banner -loglevel error -nostdin -y \
      -f lavfi -i testsrc=size=1280x720:rate=25:duration=5 \
      -f lavfi -i sine=frequency=440:sample_rate=48000:duration=5 \
      -c:v libx264 -pix_fmt yuv420p -c:a aac -b:a 192k -ac 2 -metadata:s:a:0 language=kor "$file"
  fi
  echo "sample clip: $file"
fi
if [ ! -e "$file" ]; then
  echo "run: $file does not exist" >&2
  exit 2
fi
file=$(cd "$(dirname "$file")" && pwd)/$(basename "$file")

demo() {
  build/native/bin/kestrune probe "$file"
  build/native/bin/kestrune probe --json "$file"
  echo "\$ kestrune plan --no-gpu $file"
  build/native/bin/kestrune plan --no-gpu "$file"
}

if [ -z "${DISPLAY:-}" ]; then
  echo "run: no display (\$DISPLAY is not set), so no window; the command-line demo instead:"
  demo
  exit 0
fi
if command -v xdpyinfo >/dev/null 2>&1 && ! xdpyinfo >/dev/null 2>&1; then
  echo "run: the display $DISPLAY cannot be opened, so no window; the command-line demo instead:"
  demo
  exit 0
fi

# The program folder: the program, the probe's batch file, and the Wine bridges that stand for
# ffmpeg.exe and mediainfo.exe (they run the Linux programs).
bin=build/windows/bin
for part in kestrune.exe exec.bat ffmpeg.exe mediainfo.exe; do
  if [ ! -f "$bin/$part" ]; then
    echo "run: $bin/$part is missing from the program folder (see tools/build.sh)" >&2
    exit 1
  fi
done

windows_path=Z:$(printf '%s' "$file" | tr / '\\')
cat <<EOF
run: starting Kestrune under Wine on $DISPLAY (Korean labels; KESTRUNE_WINE_LC_ALL=C.UTF-8 for English).
     Drag $file onto the file list, or add it with "파일 추가": $windows_path
     Click it, pick a job ("변환" converts; untick "GPU 가속" without an NVIDIA GPU) and press "작업 실행".
     The commands print into this terminal (their console windows stay empty under Wine), and
     the last one waits for Enter here before the run counts as over. Close the window to end.
EOF
exec "$root/cmake/wine-run.sh" "$root/$bin/kestrune.exe"
