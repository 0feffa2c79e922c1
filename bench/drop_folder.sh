#!/usr/bin/env bash
# A drop of a folder of many media files on the window, against the drop of a folder of fewer,
# under Wine, side by side in one run: kestrune_drop_driver.exe --folder makes a tree of N empty
# media files (100 to a subfolder) and drops its root on the real main window, which lists the
# tree and appends every file it finds. Each run prints its own milliseconds from the drop's
# arrival to the list drawn again; the figure is the ratio of the big drop's time to the small
# one's against the ratio of their sizes (5000 / 1000 = 5: at most that means no file costs more
# as the list grows, so the window does not stall).
#
#   bash bench/drop_folder.sh [BUILD-DIR]    (default build/windows, built with
#                                             --target kestrune_drop_driver)
# Environment: BENCH_SMALL (1000), BENCH_BIG (5000), BENCH_ROUNDS (3). Runs on a private X
# server (Xvfb) and in a Wine prefix of its own (BUILD-DIR/wineprefix-bench).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/.." && pwd)
source "$here/bench_common.sh"
build=$(realpath "${1:-$source_dir/build/windows}")
small=${BENCH_SMALL:-1000}
big=${BENCH_BIG:-5000}
rounds=${BENCH_ROUNDS:-3}
driver=$build/bin/kestrune_drop_driver.exe
[ -f "$driver" ] || { echo "bench: $driver is missing; build it first" >&2; exit 2; }

export KESTRUNE_WINEPREFIX=$build/wineprefix-bench
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
if [ -z "${DISPLAY_FOR_BENCH:-}" ]; then
  export DISPLAY_FOR_BENCH=1
  exec "$source_dir/tests/ui/with-xvfb.sh" "$0" "$build"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# run N: prints the driver's own milliseconds for a folder of N files.
run() {
  "$source_dir/cmake/wine-run.sh" "$driver" "$1" --folder </dev/null >"$work/last" 2>"$work/err" || {
    echo "bench: the drop of a folder of $1 files failed:" >&2
    cat "$work/last" "$work/err" >&2
    exit 1
  }
  grep -o '[0-9.]* ms' "$work/last" | head -n 1 | { read -r ms _; echo "$ms"; }
}

"$source_dir/cmake/wine-run.sh" "$driver" 1 --folder </dev/null >/dev/null 2>&1 || true
echo "folders of $small and $big files, $rounds rounds, under $(wine --version 2>/dev/null || echo Wine) on $(nproc) cores"
printf '%-6s %12s %12s %7s\n' round "$small ms" "$big ms" ratio
sum_small=0; sum_big=0
for r in $(seq 1 "$rounds"); do
  if [ $((r % 2)) -eq 1 ]; then
    s=$(run "$small"); b=$(run "$big")
  else
    b=$(run "$big"); s=$(run "$small")
  fi
  printf '%-6s %12.1f %12.1f %7.2f\n' "$r" "$s" "$b" "$(calc "$b / $s")"
  sum_small=$(calc "$sum_small + $s"); sum_big=$(calc "$sum_big + $b")
done
printf '%-6s %12.1f %12.1f %7.2f  (sizes %s times: at most that, the cost per file does not grow)\n' total \
  "$sum_small" "$sum_big" "$(calc "$sum_big / $sum_small")" "$(calc "$big / $small")"
echo "every file of each folder listed, in every round"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
