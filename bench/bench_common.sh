# Shared by the benchmark scripts (sourced, not run).

calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }

# peak_kb COMMAND...: runs it without input or output and prints the largest resident size its
# own process reached (VmHWM, in kB), sampled while it runs; its children are processes of
# their own and are not counted.
peak_kb() {
  "$@" </dev/null >/dev/null 2>&1 &
  local pid=$! peak=0 hwm
  while [ -r "/proc/$pid/status" ]; do
    hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
    [ -n "$hwm" ] && [ "$hwm" -gt "$peak" ] && peak=$hwm
    sleep 0.01
  done
  wait "$pid" || echo "bench: $* failed" >&2
  echo "$peak"
}
