#!/bin/sh
# Stands for the program (KESTRUNE_MAN_PROGRAM) when help2man reads its --help and --version:
# the help text unchanged but for the layout help2man reads, GNU's: "Usage:" and "  or:" for
# the usage lines, so they become the SYNOPSIS, and the subcommand lines indented, so each
# becomes a tagged paragraph.
if [ "$1" = --help ]; then
  "$KESTRUNE_MAN_PROGRAM" --help |
    sed -e 's/^usage: /Usage: /' -e 's/^ *\(kestrune \)/  or:  \1/' -e 's/^\([a-z][a-z-]*\)  /  \1  /'
else
  exec "$KESTRUNE_MAN_PROGRAM" "$@"
fi
