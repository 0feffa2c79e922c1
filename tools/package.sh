#!/usr/bin/env bash
# Builds the packages and prints their files and sizes: from the Windows build the portable
# zip and the setup (CPack ZIP and NSIS), from the native build the Debian package of the
# command line (CPack DEB). They land in build/windows/packages/ and build/native/packages/.
# Usage: tools/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
for preset in windows native; do
  echo "== package $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target package
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/native/CMakeCache.txt)
echo "== packages of Kestrune $version"
for file in build/windows/packages/Kestrune-"$version"-win64.zip build/windows/packages/Kestrune-"$version"-setup.exe \
  build/native/packages/kestrune_"$version"_amd64.deb; do
  if [ ! -f "$file" ]; then
    echo "package: $file was not made" >&2
    exit 1
  fi
  printf '%-50s %9d bytes (%s)\n' "$file" "$(stat -c %s "$file")" "$(du -h --apparent-size "$file" | cut -f1)"
done
