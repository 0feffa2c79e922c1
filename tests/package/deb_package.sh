#!/usr/bin/env bash
# The Debian package as a user meets it: its control fields and contents, lintian's verdict,
# and the program unpacked into a temporary root (as dpkg would lay it out under /) run on a
# clip made here: --version, probe and plan; the probe again as an ordinary user whose
# program folder cannot be written, so its report goes to the user's own folder; the manual
# page and the bash completion made from the program's own --help.
# Usage: deb_package.sh BUILD-DIR VERSION
set -uo pipefail
build=$(cd "$1" && pwd)
version=$2
deb=$build/packages/kestrune_${version}_amd64.deb
# The unpacked root and the clip lie in a folder of the temporary folder that everyone may
# enter, so the user nobody (below) can reach them wherever the build tree is.
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrune-deb-test.XXXXXX")
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
chmod 0755 "$work"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() {  # check DESCRIPTION COMMAND...: the command must succeed
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else fail "$what"; fi
}

[ -f "$deb" ] || { echo "deb_package: $deb is missing (cmake --build --preset native --target package)" >&2; exit 1; }
echo "package: $deb ($(stat -c %s "$deb") bytes)"

# Control fields: the version, the tools by name, the libraries that dpkg-shlibdeps found.
info=$(dpkg-deb --info "$deb")
echo "$info" | sed -n '/Package:/,$p'
depends=$(dpkg-deb --field "$deb" Depends)
check "Version is $version" test "$(dpkg-deb --field "$deb" Version)" = "$version"
check "Architecture is amd64" test "$(dpkg-deb --field "$deb" Architecture)" = amd64
# The tools, and the package of every library the program needs (as dpkg-shlibdeps found them).
libraries=$(objdump -p "$build/bin/kestrune" | awk '$1 == "NEEDED" { print $2 }')
needed=(ffmpeg mediainfo)
for library in $libraries; do
  path=$(ldconfig -p | awk -v name="$library" '$1 == name && /x86-64/ { print $NF; exit }')
  needed+=("$(dpkg -S "$(realpath "$path")" 2>/dev/null | head -n 1 | cut -d: -f1)")
done
for dep in $(printf '%s\n' "${needed[@]}" | sort -u); do
  check "Depends names $dep" bash -c '[[ ", $1," == *", $2"[\ ,]* ]]' _ "$depends" "$dep"
done

# Contents: exactly these files, the link and their modes.
contents=$(dpkg-deb --contents "$deb" | awk '{ mode = $1; name = $6; for (i = 7; i <= NF; i++) name = name " " $i; if (mode !~ /^d/) print mode, name }' | sort -k2)
expected=$(sort -k2 <<'LIST'
lrwxrwxrwx ./usr/bin/kestrune -> ../lib/kestrune/kestrune
-rwxr-xr-x ./usr/lib/kestrune/kestrune
-rwxr-xr-x ./usr/lib/kestrune/exec.sh
-rw-r--r-- ./usr/share/bash-completion/completions/kestrune
-rw-r--r-- ./usr/share/doc/kestrune/changelog.gz
-rw-r--r-- ./usr/share/doc/kestrune/copyright
-rw-r--r-- ./usr/share/man/man1/kestrune.1.gz
LIST
)
if [ "$contents" = "$expected" ]; then echo "ok: contents"; else
  fail "contents differ"; diff <(echo "$expected") <(echo "$contents") >&2
fi

# lintian: no error; the warnings are shown.
if command -v lintian >/dev/null; then
  lintian_out=$(lintian -I --tag-display-limit 0 "$deb" 2>&1)
  echo "lintian:"; echo "${lintian_out:-  (nothing to report)}" | sed 's/^/  /'
  check "lintian reports no error" bash -c '! grep -q "^E: " <<<"$1"' _ "$lintian_out"
else
  fail "lintian is not installed (tools/setup.sh installs it)"
fi

# The program unpacked into a temporary root; its symlink resolves inside that root, and the
# program finds exec.sh beside its real file.
root=$work/root
dpkg-deb -x "$deb" "$root"
kestrune=$root/usr/bin/kestrune
check "--version prints kestrune $version" test "$("$kestrune" --version)" = "kestrune $version"

media=$work/media
mkdir -p "$media"
chmod 0755 "$work" "$media"
clip=$media/clip.mp4
ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i testsrc=size=320x240:rate=25:duration=2 \
  -f lavfi -i sine=frequency=440:sample_rate=48000:duration=2 -c:v libx264 -pix_fmt yuv420p \
  -c:a aac -b:a 128k -ac 2 "$clip" || fail "ffmpeg could not make the clip"
chmod 0644 "$clip"

probe=$("$kestrune" probe "$clip" 2>&1)
echo "$probe"
check "probe finds the H.264 video of 320 x 240" grep -q "코덱=H264(AVC), (320 x 240)" <<<"$probe"
check "probe finds the AAC audio" grep -q "코덱=AAC, 채널=2" <<<"$probe"
plan=$("$kestrune" plan --no-gpu --codec h264 "$clip" 2>&1)
echo "$plan"
check "plan builds the libx264 command for the clip" \
  grep -Fq -- "-i \"$clip\"" <<<"$plan"
check "plan encodes with libx264 into clip_(02).mp4" \
  bash -c 'grep -q -- "-c:v libx264" <<<"$1" && grep -Fq "$2" <<<"$1"' _ "$plan" "$media/clip_(02).mp4"

# An ordinary user, whose program folder (as under /usr/lib) cannot be written: the report
# goes to <tmp>/kestrune-<uid>/, nothing is written beside the program. Root writes anywhere
# (the package's prerm removes the report root leaves there), so as root this runs as the
# user nobody.
program_dir=$root/usr/lib/kestrune
rm -f "$program_dir/media.txt"
chmod 0555 "$program_dir"
tmp=$work/tmp
mkdir -p "$tmp"
chmod 1777 "$tmp"
if [ "$(id -u)" -eq 0 ]; then
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  uid=65534
else
  as_user=()
  uid=$(id -u)
fi
user_probe=$(env -u XDG_RUNTIME_DIR TMPDIR="$tmp" HOME="$tmp" "${as_user[@]}" "$kestrune" probe "$clip" 2>&1)
check "probe as a user with a read-only program folder works" grep -q "(320 x 240)" <<<"$user_probe"
check "its report lies in the user's private folder" test -s "$tmp/kestrune-$uid/media.txt"
check "that folder has mode 0700" test "$(stat -c %a "$tmp/kestrune-$uid")" = 700
check "nothing was written beside the program" test ! -e "$program_dir/media.txt"
chmod 0755 "$program_dir"

# The manual page: made from --help, with the version and every option.
man_text=$(zcat "$root/usr/share/man/man1/kestrune.1.gz")
check "the manual page carries the version" grep -q "^\.TH KESTRUNE \"1\" .*\"kestrune $version\"" <<<"$man_text"
check "the manual page names the tools' folder rule" grep -q "XDG_RUNTIME_DIR" <<<"$man_text"
if command -v man >/dev/null; then
  rendered=$(MANWIDTH=100 man -l "$root/usr/share/man/man1/kestrune.1.gz" 2>&1)
  check "the manual page renders its options" grep -q -- "--no-gpu" <<<"$rendered"
  check "the manual page names --join-anyway and --gpu-sessions" \
    bash -c 'grep -q -- "--join-anyway" <<<"$1" && grep -q -- "--gpu-sessions" <<<"$1"' _ "$rendered"
fi

# The bash completion, asked as bash asks it.
completion=$root/usr/share/bash-completion/completions/kestrune
complete_words() {  # complete_words WORD... : the completions of the last word
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _kestrune; printf "%s\n" "${COMPREPLY[@]}"' \
    _ "$completion" "$@" | sort | tr '\n' ' ' | sed 's/ $//'
}
check "subcommands" test "$(complete_words kestrune '')" = "--help --version exec plan presets probe run"
check "probe takes --json" test "$(complete_words kestrune probe --)" = "--json"
check "plan options by prefix" test "$(complete_words kestrune plan --co)" = "--codec --copy-audio --copy-video"
check "job values" test "$(complete_words kestrune run --job '')" = "audio convert merge merge-av video"
check "codec values" test "$(complete_words kestrune plan --no-gpu --codec h2)" = "h264 h265"
check "a free argument gets no completion" test "$(complete_words kestrune plan --bitrate '')" = ""
check "exec takes --output" test "$(complete_words kestrune exec --)" = "--output"
check "run takes --jobs" test "$(complete_words kestrune run --jo)" = "--job --jobs --join-anyway"
check "run takes --verbose" test "$(complete_words kestrune run --ve)" = "--verbose"
check "run and plan take --join-anyway" test "$(complete_words kestrune plan --join)" = "--join-anyway"
check "--gpu-sessions takes a free argument" test "$(complete_words kestrune run --gpu-sessions '')" = ""
check "files after the options" test "$(cd "$media" && complete_words kestrune probe cl)" = "clip.mp4"
mkdir -p "$media/clips"
check "--output-dir completes folders only" \
  test "$(cd "$media" && complete_words kestrune run --output-dir cl)" = "clips"
# Every option the help lists is completed for plan: the completion follows the program.
missing=
for option in $("$kestrune" --help | grep -oE '^ +--[a-z0-9-]+( [^ ]+)? */ *--[a-z0-9-]+|^ +--[a-z0-9-]+|, --[a-z0-9-]+' | grep -oE -- '--[a-z0-9-]+' | sort -u); do
  grep -qw -- "$option" <<<" $(complete_words kestrune plan --) " || missing="$missing $option"
done
check "every option of --help is completed${missing:+ (missing:$missing)}" test -z "$missing"

if [ "$failures" -gt 0 ]; then
  echo "deb_package: $failures check(s) failed" >&2
  exit 1
fi
echo "deb_package: every check passed"
