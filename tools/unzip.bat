@echo off
rem unzip ARCHIVE: extracts a zip archive into the current folder with the tar of Windows 10
rem and later (bsdtar, which reads zip), for the missing-tool installer's "unzip NAME.zip".
"%SystemRoot%\System32\tar.exe" -xf "%~1"
