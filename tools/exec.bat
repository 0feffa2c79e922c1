@echo off
rem The probe's batch file: writes MediaInfo's text report on one media file.
rem   exec.bat "MEDIAINFO" "INPUT" "REPORT" 0
rem Arguments: the MediaInfo program, the media file, the report file to write, and a
rem reserved fourth one that is ignored. Each path stays between quotes, so no character of
rem a file name is read as part of the command.
"%~1" "%~2" > "%~3"
