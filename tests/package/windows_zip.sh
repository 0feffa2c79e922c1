#!/usr/bin/env bash
# The portable zip as a user meets it: unpacked into an empty folder it is one program folder
# holding exactly the program, the command line, the probe's batch file, the Windows README (CRLF,
# Korean and English, with the version) and the licence; with MediaInfo.exe put beside it (here
# the Wine bridge) the unpacked command line probes a clip made here, under Wine.
# Usage: windows_zip.sh BUILD-DIR VERSION
set -uo pipefail
build=$(cd "$1" && pwd)
version=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
zip=$build/packages/Kestrune-$version-win64.zip
work=$build/package-tests/zip
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() {
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else fail "$what"; fi
}

[ -f "$zip" ] || { echo "windows_zip: $zip is missing (cmake --build --preset windows --target package)" >&2; exit 1; }
echo "package: $zip ($(stat -c %s "$zip") bytes)"
rm -rf "$work"
mkdir -p "$work/unpacked"
(cd "$work/unpacked" && unzip -q "$zip") || fail "unzip failed"
top=Kestrune-$version-win64
check "one folder at the top, named as the zip" test "$(ls "$work/unpacked")" = "$top"
folder=$work/unpacked/$top
check "the folder holds exactly the program's files" \
  test "$(ls "$folder" | sort | tr '\n' ' ')" = "LICENSE.txt README.txt exec.bat kestrune-cli.exe kestrune.exe "

readme=$folder/README.txt
check "README.txt ends every line with CRLF" bash -c '[ "$(grep -c $'"'"'\r$'"'"' "$1")" -eq "$(wc -l <"$1")" ] && [ "$(wc -l <"$1")" -gt 20 ]' _ "$readme"
check "README.txt names the version" grep -q "(Kestrune) $version" "$readme"
check "README.txt has its Korean part" grep -q "필요한 프로그램" "$readme"
check "README.txt has its English part" grep -q "What it needs" "$readme"
check "README.txt names the tools and the command line" \
  bash -c 'grep -q "ffmpeg.exe and MediaInfo.exe" "$1" && grep -q "kestrune-cli.exe probe" "$1"' _ "$readme"
check "LICENSE.txt is the MIT licence of the developers" \
  bash -c 'grep -q "^MIT License" "$1" && grep -q "Copyright (c) 2026 the Kestrune developers" "$1"' _ "$folder/LICENSE.txt"
check "exec.bat is the program's own" cmp -s "$folder/exec.bat" "$source_dir/tools/exec.bat"

# The unpacked command line probes through the unpacked exec.bat.
cp "$build/bin/mediainfo.exe" "$folder/mediainfo.exe"
clip=$work/clip.mp4
ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i testsrc=size=320x240:rate=25:duration=2 \
  -f lavfi -i sine=frequency=440:sample_rate=48000:duration=2 -c:v libx264 -pix_fmt yuv420p \
  -c:a aac -b:a 128k -ac 2 "$clip" || fail "ffmpeg could not make the clip"
probe=$("$source_dir/cmake/wine-run.sh" "$folder/kestrune-cli.exe" probe "Z:$(tr / '\\' <<<"$clip")" 2>&1 | tr -d '\r')
echo "$probe"
check "the unpacked kestrune-cli.exe probes the clip" grep -q "코덱=H264(AVC), (320 x 240)" <<<"$probe"
check "its report lies in the unpacked folder" test -s "$folder/media.txt"
version_text=$("$source_dir/cmake/wine-run.sh" "$folder/kestrune-cli.exe" --version 2>&1 | tr -d '\r')
check "kestrune-cli.exe --version prints kestrune $version" test "$version_text" = "kestrune $version"

if [ "$failures" -gt 0 ]; then
  echo "windows_zip: $failures check(s) failed" >&2
  exit 1
fi
echo "windows_zip: every check passed"
