#!/bin/sh
# The probe's script, twin of exec.bat where there is no Windows interpreter (the launcher runs
# it in place of exec.bat): writes MediaInfo's text report on one media file.
#   exec.sh MEDIAINFO INPUT REPORT 0
# The fourth argument is reserved and ignored. Each argument is used as one quoted word, so
# no character of a file name is ever interpreted; a name beginning with "-" gets "./" so it
# is not read as an option.
mediainfo=$1
input=$2
report=$3
case $input in -*) input=./$input ;; esac
exec "$mediainfo" "$input" > "$report"
