#!/usr/bin/env bash
# Installs what is missing, builds both targets, and runs every test: natively, the Windows
# tests under Wine, the packages (the Debian package, the Windows setup and zip, made and
# installed as a user would), the native tests again under ASan+UBSan, the worker's tests under
# TSan and the report parser's fuzzer for a bounded time. Ends with one summary line.
set -uo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh || exit 1
bash tools/build.sh native windows asan tsan:batch_worker_tests,probe_runner_tests || exit 1

logs=build/test-logs
mkdir -p "$logs"
passed=0
failed=0
status=0

count() {  # adds the counts of a ctest log to the totals
  local line total bad
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$1" | tail -n 1)
  if [ -n "$line" ]; then
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  fi
}

suite() {  # suite NAME ctest-args...
  local name=$1; shift
  echo "== tests: $name"
  if ! ctest "$@" --output-on-failure --no-tests=ignore 2>&1 | tee "$logs/$name.log"; then
    status=1
    digest "$logs/$name.log"
  fi
  count "$logs/$name.log"
}

digest() {  # repeats each failed check of a log, with what it printed just before and after
  echo "== failures in $1"
  grep -B 3 -A 8 -E ': Failure$|^\[  FAILED  \]|\(Timeout\)|\(Subprocess aborted\)' "$1" | head -n 60
}

suite native --test-dir build/native -j2 -LE package
suite windows --test-dir build/windows -j2 -LE package
# The packages, made and tested as a user installs them (the first test of each build makes them).
suite packages-native --test-dir build/native -L package
suite packages-windows --test-dir build/windows -L package
suite asan --test-dir build/asan -j2
suite tsan --test-dir build/tsan -L tsan -j2

if [ -x tools/fuzz.sh ]; then
  echo "== fuzz: report parser"
  if tools/fuzz.sh 30 >"$logs/fuzz.log" 2>&1; then
    grep '^fuzz: [0-9?]' "$logs/fuzz.log" || true  # the inputs run and the rate
    passed=$((passed + 1))
  else
    tail -n 40 "$logs/fuzz.log"
    failed=$((failed + 1))
    status=1
  fi
fi

[ "$failed" -gt 0 ] && status=1
echo "kestrune: $passed passed, $failed failed"
exit $status
