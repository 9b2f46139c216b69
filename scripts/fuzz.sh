#!/usr/bin/env bash
# Runs every libFuzzer target for FUZZ_SECONDS (default 60) each. New inputs
# are merged into the committed corpus (tests/fuzz/corpus/<name>/), and any
# crash input is left in build/fuzz/findings/ and fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

findings=build/fuzz/findings
mkdir -p "$findings"
status=0
printf '%-20s %12s %10s %s\n' target executions corpus result
for target in build/fuzz/tests/fuzz/*_fuzz; do
  name=$(basename "$target" _fuzz)
  corpus=tests/fuzz/corpus/$name
  work=$(mktemp -d)
  mkdir -p "$corpus"
  log=build/fuzz/$name.log
  if "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings/$name-" \
       "$work" "$corpus" >"$log" 2>&1; then
    result=ok
  else
    result="FAILED (see $log)"
    status=1
  fi
  "$target" -merge=1 "$corpus" "$work" >/dev/null 2>&1 || true
  rm -rf "$work"
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  printf '%-20s %12s %10s %s\n' "$name" "${runs:-?}" "$(ls "$corpus" | wc -l)" "$result"
done
exit $status
