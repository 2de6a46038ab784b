#!/usr/bin/env bash
# Runs the fuzz targets built by the preset "fuzz", each for a set time, two at a time (FUZZ_JOBS), and
# prints how many inputs each tried. The corpus a run grows is kept in build/fuzz/corpus/NAME and starts
# from the seeds in fuzz/corpus/NAME; a failing input is left in build/fuzz/findings/ with the target's log,
# and the run ends with status 1.
#   fuzz/run.sh SECONDS [NAME...]      (no NAME: every target)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: fuzz/run.sh SECONDS [NAME...]}
shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(numbers frame_line ghost_file split settings_page frame_choice map_file scenario)
fi
jobs=${FUZZ_JOBS:-2}

build=build/fuzz
mkdir -p "$build/findings"

# One target: its log in findings/NAME.log, its table row in findings/NAME.row.
fuzz_one() {
  local name=$1 binary=$build/fuzz/fuzz_$1 corpus=$build/corpus/$1 log=$build/findings/$1.log status=0
  mkdir -p "$corpus"
  # The outer timeout bounds a target that stops answering; libFuzzer's own bounds end a normal run.
  timeout --kill-after=10 $((seconds + 60)) "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -dict="fuzz/dict/$name.dict" -artifact_prefix="$build/findings/$name-" \
    "$corpus" "fuzz/corpus/$name" >"$log" 2>&1 || status=$?
  local executions rate result=ok
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  [ "$status" -eq 0 ] || result="FAILED (status $status, see $log)"
  printf '%-14s %12s %10s %s\n' "$name" "${executions:-?}" "${rate:-?}" "$result" >"$build/findings/$name.row"
}

for name in "${targets[@]}"; do
  [ -x "$build/fuzz/fuzz_$name" ] || { echo "fuzz/run.sh: $build/fuzz/fuzz_$name is not built (make fuzz builds it)" >&2; exit 2; }
  rm -f "$build/findings/$name.row"
done
for name in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  fuzz_one "$name" &
done
wait

printf '%-14s %12s %10s %s\n' target executions per-second result
failed=0
for name in "${targets[@]}"; do
  cat "$build/findings/$name.row"
  if grep -q FAILED "$build/findings/$name.row"; then
    failed=1
    echo "--- $name"
    grep -E -A12 'check failed|runtime error|==ERROR|ERROR: libFuzzer' "$build/findings/$name.log" | head -40 || true
  fi
done
exit $failed
