#!/usr/bin/env bash
# A drop of many files on the window against a bare list view, under Wine, side by side in one
# run: kestrune_drop_driver.exe (the real main window gets one WM_DROPFILES of N paths) and
# kestrune_list_standin.exe (a bare list view takes N rows the quickest way it can), alternating
# which goes first. Each program prints its own milliseconds from the first row to the list
# drawn again; the ratio of their totals is the figure (target: at most 2), and the ratio of
# each side's fastest round shows it without the rounds another process slowed down. The wall
# time of each whole process is printed beside it: Wine's start and, for the driver, the set-up
# of the whole main window are in it, so those are not compared. The driver also checks that
# every dropped path is listed exactly, in order.
#
#   bash bench/drop_vs_list_view.sh [BUILD-DIR]    (default build/windows, built with
#                                                   --target kestrune_drop_driver kestrune_list_standin)
# Environment: BENCH_ROWS (1000), BENCH_ROUNDS (5). Runs on a private X server (Xvfb) and in a
# Wine prefix of its own (BUILD-DIR/wineprefix-bench).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/.." && pwd)
source "$here/bench_common.sh"
build=$(realpath "${1:-$source_dir/build/windows}")
rows=${BENCH_ROWS:-1000}
rounds=${BENCH_ROUNDS:-5}
driver=$build/bin/kestrune_drop_driver.exe
standin=$build/bin/kestrune_list_standin.exe
for program in "$driver" "$standin"; do
  [ -f "$program" ] || { echo "bench: $program is missing; build it first" >&2; exit 2; }
done

export KESTRUNE_WINEPREFIX=$build/wineprefix-bench
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
if [ -z "${DISPLAY_FOR_BENCH:-}" ]; then
  export DISPLAY_FOR_BENCH=1
  exec "$source_dir/tests/ui/with-xvfb.sh" "$0" "$build"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# run PROGRAM: prints "IN-PROCESS-MS WALL-S"; the program's own line goes to $work/last.
run() {
  local TIMEFORMAT='%R' wall
  wall=$({ time "$source_dir/cmake/wine-run.sh" "$1" "$rows" </dev/null >"$work/last" 2>"$work/err"; } 2>&1) || {
    echo "bench: $(basename "$1") failed:" >&2
    cat "$work/last" "$work/err" >&2
    exit 1
  }
  grep -o '[0-9.]* ms' "$work/last" | head -n 1 | { read -r ms _; echo "$ms $wall"; }
}

# The prefix is made before the first timed run.
"$source_dir/cmake/wine-run.sh" "$standin" 1 </dev/null >/dev/null 2>&1 || true
echo "$rows rows, $rounds rounds, under $(wine --version 2>/dev/null || echo Wine) on $(nproc) cores"
printf '%-6s %12s %12s %7s   %14s %14s\n' round "drop ms" "list ms" ratio "drop process" "list process"
sum_drop=0; sum_list=0; sum_drop_wall=0; sum_list_wall=0; best_drop=; best_list=
for r in $(seq 1 "$rounds"); do
  # The machine may be shared: both run back to back, alternating which goes first.
  if [ $((r % 2)) -eq 1 ]; then
    read -r d dw < <(run "$driver"); read -r l lw < <(run "$standin")
  else
    read -r l lw < <(run "$standin"); read -r d dw < <(run "$driver")
  fi
  printf '%-6s %12.1f %12.1f %7.2f   %13.2fs %13.2fs\n' "$r" "$d" "$l" "$(calc "$d / $l")" "$dw" "$lw"
  sum_drop=$(calc "$sum_drop + $d"); sum_list=$(calc "$sum_list + $l")
  sum_drop_wall=$(calc "$sum_drop_wall + $dw"); sum_list_wall=$(calc "$sum_list_wall + $lw")
  if [ -z "$best_drop" ] || [ "$(calc "$d < $best_drop")" = 1.000000 ]; then best_drop=$d; fi
  if [ -z "$best_list" ] || [ "$(calc "$l < $best_list")" = 1.000000 ]; then best_list=$l; fi
done
printf '%-6s %12.1f %12.1f %7.2f   %13.2fs %13.2fs  (ratio drop / list view: target <= 2)\n' total \
  "$sum_drop" "$sum_list" "$(calc "$sum_drop / $sum_list")" "$sum_drop_wall" "$sum_list_wall"
printf '%-6s %12.1f %12.1f %7.2f   (fastest round of each)\n' best "$best_drop" "$best_list" \
  "$(calc "$best_drop / $best_list")"
echo "every dropped path listed exactly, in order, in every round"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
