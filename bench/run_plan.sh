#!/usr/bin/env bash
# Runs the command lines printed by `kestrune plan` one after another, as plainly as a shell can:
# the lines are in the command interpreter's syntax, where "FFMpeg.exe" names ffmpeg. Exit
# status 0 only when every line succeeded.
set -u
FFMpeg.exe() { ffmpeg "$@"; }
status=0
while IFS= read -r line; do
  # ffmpeg reads its standard input for keys; it must not eat the rest of the plan.
  eval "$line" </dev/null || status=1
done <"$1"
exit $status
