#!/usr/bin/env bash
# The Windows setup as a user meets it, under Wine in a fresh prefix of its own on a private X
# server: the setup greets in the system's language; its silent install puts the program
# folder under %LOCALAPPDATA%\Programs\Kestrune with a Start-menu shortcut and the uninstall
# key of the current user; the installed command line probes a clip made here through the
# installed exec.bat (the Wine bridge's mediainfo.exe copied beside it, as a user would put
# MediaInfo.exe there); the installed window opens with its title; the silent uninstall
# removes the folder, the shortcut and the key, but never a file of the user's own. A folder
# given with /D= gets a Kestrune folder of its own inside it: the user's files beside it survive
# install and uninstall byte for byte, the tools the program downloaded go with the uninstall,
# and a Kestrune folder holding files the setup did not write is refused.
# Usage: windows_setup.sh BUILD-DIR VERSION
set -uo pipefail
build=$(cd "$1" && pwd)
version=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(cd "$here/../.." && pwd)

if [ -z "${KESTRUNE_PACKAGE_ON_XVFB:-}" ]; then
  export KESTRUNE_PACKAGE_ON_XVFB=1
  exec "$source_dir/tests/ui/with-xvfb.sh" "$0" "$@"
fi

setup=$build/packages/Kestrune-$version-setup.exe
work=$build/package-tests/setup
export KESTRUNE_WINEPREFIX=$build/wineprefix-package
export WINEPREFIX=$KESTRUNE_WINEPREFIX
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
run() { "$source_dir/cmake/wine-run.sh" "$@"; }
settle() { timeout 120 wineserver -w; }
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() {
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else fail "$what"; fi
}
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrune'
value() {  # value NAME: the data of a value of the uninstall key, empty when missing
  run reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | sed -nE "s/^ +$1 +REG_[A-Z_]+ +//p"
}
unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }
window_named() {  # window_named REGEX [SECONDS]: true when a window of that title shows up
  local deadline=$((SECONDS + ${2:-60}))
  while [ $SECONDS -lt $deadline ]; do
    xdotool search --name "$1" >/dev/null 2>&1 && return 0
    sleep 0.5
  done
  return 1
}

[ -f "$setup" ] || { echo "windows_setup: $setup is missing (cmake --build --preset windows --target package)" >&2; exit 1; }
echo "package: $setup ($(stat -c %s "$setup") bytes)"
# A fresh prefix: nothing of an earlier run, no earlier install.
[ -d "$WINEPREFIX" ] && { wineserver -k 2>/dev/null; rm -rf "$WINEPREFIX"; }
rm -rf "$work" "$WINEPREFIX.lock"
mkdir -p "$work"

# The setup's own window speaks the system's language (English where it is not Korean).
for language in "ko_KR.UTF-8:Kestrune $version 설치" "C.UTF-8:Kestrune $version Setup"; do
  locale=${language%%:*} title=${language#*:}
  KESTRUNE_WINE_LC_ALL=$locale run "$setup" >/dev/null 2>&1 &
  check "the setup's window reads \"$title\" under $locale" window_named "^$title" 120
  wineserver -k 2>/dev/null
  wait 2>/dev/null
done

# Silent install as the current user.
run "$setup" /S
status=$?
settle
check "the silent setup exits with 0" test "$status" -eq 0

local_app_data=$(run cmd /c echo %LOCALAPPDATA% | tr -d '\r')
app_data=$(run cmd /c echo %APPDATA% | tr -d '\r')
install_location=$(value InstallLocation)
check "InstallLocation is %LOCALAPPDATA%\\Programs\\Kestrune" test "$install_location" = "$local_app_data\\Programs\\Kestrune"
folder=$(unix_path "$install_location")
shortcut=$(unix_path "$app_data\\Microsoft\\Windows\\Start Menu\\Programs\\Kestrune.lnk")
check "the program folder holds exactly the program's files" \
  test "$(ls "$folder" 2>/dev/null | sort | tr '\n' ' ')" = "LICENSE.txt README.txt exec.bat kestrune-cli.exe kestrune.exe uninstall.exe "
check "the Start-menu shortcut exists" test -f "$shortcut"
check "DisplayName" test "$(value DisplayName)" = Kestrune
check "DisplayVersion" test "$(value DisplayVersion)" = "$version"
check "Publisher" test "$(value Publisher)" = Kestrune
check "UninstallString" test "$(value UninstallString)" = "\"$install_location\\uninstall.exe\""
check "QuietUninstallString" test "$(value QuietUninstallString)" = "\"$install_location\\uninstall.exe\" /S"
check "NoModify" test "$(value NoModify)" = 0x1
check "NoRepair" test "$(value NoRepair)" = 0x1
size=$(value EstimatedSize)
check "EstimatedSize (${size:-none} KB) is the folder's size" \
  bash -c '[ -n "$1" ] && [ $(($1)) -ge $(( $(du -sk "$2" | cut -f1) / 2 )) ]' _ "$size" "$folder"

# The installed command line probes through the installed exec.bat; MediaInfo.exe is the user's
# to add (here the bridge to the Linux mediainfo).
cp "$build/bin/mediainfo.exe" "$folder/mediainfo.exe"
clip=$work/clip.mp4
ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i testsrc=size=320x240:rate=25:duration=2 \
  -f lavfi -i sine=frequency=440:sample_rate=48000:duration=2 -c:v libx264 -pix_fmt yuv420p \
  -c:a aac -b:a 128k -ac 2 "$clip" || fail "ffmpeg could not make the clip"
probe=$(run "$folder/kestrune-cli.exe" probe "Z:$(tr / '\\' <<<"$clip")" 2>&1 | tr -d '\r')
echo "$probe"
check "the installed kestrune-cli.exe probes the clip" grep -q "코덱=H264(AVC), (320 x 240)" <<<"$probe"
check "its report lies in the program folder" test -s "$folder/media.txt"

# The installed window opens with its title, and closes when asked.
run "$folder/kestrune.exe" >/dev/null 2>&1 &
check "the installed kestrune.exe opens its window" window_named "^케스트룬 \\(Kestrune\\) v${version//./\\.}\$" 120
run taskkill /IM kestrune.exe >/dev/null 2>&1
settle
wait 2>/dev/null

# Silent uninstall, by the command the key names. The MediaInfo.exe put there above is the
# user's own, which the uninstaller leaves alone (see below), so the user takes it back first.
rm -f "$folder/mediainfo.exe"
run "$folder/uninstall.exe" /S
settle
check "the uninstaller removes the program folder" bash -c '[ -n "$1" ] && [ ! -e "$1" ]' _ "$folder"
check "the uninstaller removes the shortcut" bash -c '[ -n "$1" ] && [ ! -e "$1" ]' _ "$shortcut"
check "the uninstaller removes the uninstall key" bash -c '! "$1" reg query "$2" >/dev/null 2>&1' _ "$source_dir/cmake/wine-run.sh" "$key"

# A file of the user's own in the program folder survives the uninstall, and so does the folder.
run "$setup" /S
settle
printf 'mine\r\n' >"$folder/notes.txt"
run "$folder/uninstall.exe" /S
settle
check "a file of the user's own stays, alone in its folder" test "$(ls "$folder" 2>/dev/null)" = notes.txt
check "the key is gone all the same" bash -c '! "$1" reg query "$2" >/dev/null 2>&1' _ "$source_dir/cmake/wine-run.sh" "$key"

# A folder the user keeps other tools in, among them files of the names the program and the
# setup use. /D=C:\Tools installs into C:\Tools\Kestrune.
drive_c=$(unix_path 'C:\')
tools=$drive_c/Tools
saved=$work/tools-before
rm -rf "$tools" "$saved"
mkdir -p "$tools" "$saved"
head -c 4096 /dev/urandom >"$tools/ffmpeg.exe"
printf 'my own readme\r\n' >"$tools/README.txt"
head -c 2048 /dev/urandom >"$tools/MediaInfo.zip"
printf 'my notes\r\n' >"$tools/notes.txt"
cp -p "$tools"/* "$saved"/
users_files_unchanged() {
  local name
  for name in ffmpeg.exe README.txt MediaInfo.zip notes.txt; do
    cmp -s "$saved/$name" "$tools/$name" || return 1
  done
}
run "$setup" /S '/D=C:\Tools'
status=$?
settle
check "the setup with /D=C:\\Tools exits with 0" test "$status" -eq 0
check "it installs into C:\\Tools\\Kestrune" test "$(value InstallLocation)" = 'C:\Tools\Kestrune'
check "C:\\Tools\\Kestrune holds exactly the program's files" \
  test "$(ls "$tools/Kestrune" 2>/dev/null | sort | tr '\n' ' ')" = "LICENSE.txt README.txt exec.bat kestrune-cli.exe kestrune.exe uninstall.exe "
check "the user's files in C:\\Tools are untouched by the install" users_files_unchanged

# The program downloads its tools as the install dialog's button does (from a local server).
download=$(KESTRUNE_PROGRAM_DIR='C:\Tools\Kestrune' run "$build/bin/package-tool/package_tool_download.exe" 2>&1 | tr -d '\r')
echo "$download"
check "the program downloads ffmpeg.exe and MediaInfo.exe into its folder" \
  bash -c '[ -f "$1/ffmpeg.exe" ] && [ -f "$1/MediaInfo.exe" ] && [ -f "$1/kestrune-downloads.txt" ]' _ "$tools/Kestrune"
# A second setup over its own install is no stranger there, and leaves the tools alone.
run "$setup" /S '/D=C:\Tools'
status=$?
settle
check "the setup installs again over its own install" test "$status" -eq 0
check "and keeps the downloaded tools" test -f "$tools/Kestrune/ffmpeg.exe"
printf 'mine\r\n' >"$tools/Kestrune/ffmpeg.exe.notes"
# A record naming files by names Windows keeps for devices: the uninstaller passes them over.
# (Wine, unlike Windows, lets a file be called COM¹ or lpt².txt, so files of the user's of those
# names lie there to show it.)
for name in 'COM¹' 'lpt².txt'; do
  printf 'mine\r\n' >"$tools/Kestrune/$name"
  printf '%s\r\n' "$name" | iconv -f UTF-8 -t UTF-16LE >>"$tools/Kestrune/kestrune-downloads.txt"
done

run "$tools/Kestrune/uninstall.exe" /S
settle
check "the uninstall removes the program and the tools it downloaded, not a device's name it lists" \
  test "$(ls "$tools/Kestrune" 2>/dev/null | LC_ALL=C sort | tr '\n' ' ')" = "COM¹ ffmpeg.exe.notes lpt².txt "
check "the user's files in C:\\Tools survive the uninstall byte for byte" users_files_unchanged
check "C:\\Tools holds nothing else of the program's" \
  test "$(ls "$tools" | LC_ALL=C sort | tr '\n' ' ')" = "Kestrune MediaInfo.zip README.txt ffmpeg.exe notes.txt "

# A Kestrune folder that holds a file of the setup's names, or of those the program writes
# there (its probe report, its download record), that no setup wrote is refused.
for name in README.txt media.txt kestrune-downloads.txt; do
  other=$drive_c/Other/Kestrune
  rm -rf "$drive_c/Other"
  mkdir -p "$other"
  printf 'their file\r\n' >"$other/$name"
  run "$setup" /S '/D=C:\Other'
  status=$?
  settle
  check "the setup refuses C:\\Other\\Kestrune, which holds a $name of the user's (exit ${status})" test "$status" -eq 2
  check "and writes nothing there" test "$(ls "$other")" = "$name"
  check "the user's $name there is untouched" test "$(cat "$other/$name")" = $'their file\r'
  check "and registers no install" bash -c '! "$1" reg query "$2" >/dev/null 2>&1' _ "$source_dir/cmake/wine-run.sh" "$key"
done

wineserver -k 2>/dev/null
if [ "$failures" -gt 0 ]; then
  echo "windows_setup: $failures check(s) failed" >&2
  exit 1
fi
echo "windows_setup: every check passed"
