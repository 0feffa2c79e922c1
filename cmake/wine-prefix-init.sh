#!/usr/bin/env bash
# Run once by wine-run.sh when it creates a Wine prefix for the build (WINEPREFIX is set).
# Makes the dialogs readable on a bare X server: the faces our templates ask for ("굴림",
# "MS Sans Serif", "System", the shell dialog font) and Wine's own interface font (Tahoma, the
# caption) are replaced by NanumGothic, which has Hangul, so Korean text renders in the caption
# and in an English window too. There is no window manager: Wine draws the title bars and manages
# the windows itself (unmanaged windows are shown and hidden at once, without waiting for one).
set -u
: "${WINEPREFIX:?WINEPREFIX must be set}"

font=NanumGothic
if command -v fc-list >/dev/null 2>&1 && ! fc-list 2>/dev/null | grep -q "$font"; then
  echo "wine-prefix-init: $font not installed (Debian fonts-nanum); Hangul may not render" >&2
fi

reg_file="$WINEPREFIX/drive_c/kestrune-prefix-init.reg"
mkdir -p "$WINEPREFIX/drive_c"

# regedit reads UTF-16 with a byte-order mark, so the Hangul face names survive any locale.
{
  printf '\xff\xfe'
  sed 's/$/\r/' <<REG | iconv -f UTF-8 -t UTF-16LE
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"굴림"="$font"
"굴림체"="$font"
"Gulim"="$font"
"GulimChe"="$font"
"MS Sans Serif"="$font"
"MS Shell Dlg"="$font"
"MS Shell Dlg 2"="$font"
"System"="$font"
"Tahoma"="$font"

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Decorated"="N"
"Managed"="N"
"UseTakeFocus"="N"

[HKEY_CURRENT_USER\\Software\\Wine\\DllOverrides]
"winemenubuilder.exe"=""
REG
} >"$reg_file"

# Debian's Wine does not find its own interface fonts (Debian fonts-wine) by itself: without
# Marlett the caption buttons show letters. Fonts in the prefix's Fonts folder are always read.
for file in marlett.ttf; do
  for dir in /usr/share/wine/fonts /usr/lib/wine/fonts; do
    if [ -f "$dir/$file" ]; then
      mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
      cp "$dir/$file" "$WINEPREFIX/drive_c/windows/Fonts/"
      break
    fi
  done
done

wine regedit /S 'C:\kestrune-prefix-init.reg'
status=$?
wineserver -w
rm -f "$reg_file"
exit $status
