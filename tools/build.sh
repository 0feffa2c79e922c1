#!/usr/bin/env bash
# Configures and builds the given presets (default: native and windows). PRESET:T1,T2 builds
# only those targets of a preset (the thread-sanitizer build needs just the worker's tests).
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
[ ${#presets[@]} -eq 0 ] && presets=(native windows)
for spec in "${presets[@]}"; do
  preset=${spec%%:*}
  target=
  [ "$spec" != "$preset" ] && target=${spec#*:}
  echo "== build $preset${target:+ ($target)}"
  cmake --preset "$preset" >/dev/null
  if [ -n "$target" ]; then
    cmake --build --preset "$preset" --target ${target//,/ }
  else
    cmake --build --preset "$preset"
  fi
done
