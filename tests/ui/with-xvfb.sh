#!/usr/bin/env bash
# Runs a command on a private X server: starts Xvfb on a display number it picks itself (so
# parallel runs and the caller's own display never meet), exports DISPLAY, runs the command
# and stops the server again. Exit code 77 when Xvfb is not installed; otherwise the
# command's own exit code. Screen size: KESTRUNE_XVFB_SCREEN, default 1280x1024x24.
set -u
if ! command -v Xvfb >/dev/null 2>&1; then
  echo "with-xvfb: Xvfb is not installed (Debian xvfb); skipping" >&2
  exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrune-xvfb.XXXXXX")
Xvfb -displayfd 3 -screen 0 "${KESTRUNE_XVFB_SCREEN:-1280x1024x24}" -nolisten tcp -noreset \
  3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
stop() {
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap stop EXIT
trap 'exit 130' INT TERM

# The server writes its display number once it accepts connections.
for _ in $(seq 1 200); do
  [ -s "$work/display" ] && break
  if ! kill -0 "$xvfb" 2>/dev/null; then
    echo "with-xvfb: Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
  fi
  sleep 0.05
done
if [ ! -s "$work/display" ]; then
  echo "with-xvfb: Xvfb gave no display number" >&2
  exit 1
fi
export DISPLAY=":$(head -n 1 "$work/display")"
"$@"
