#!/usr/bin/env bash
# `make fuzz`: runs every libFuzzer target for FUZZ_SECONDS (default 60) each,
# FUZZ_JOBS targets at a time (default: the number of cores). New inputs are
# merged into the committed corpus (tests/fuzz/corpus/<name>/); a crash input
# is left in build/fuzz/findings/ and fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
jobs=${FUZZ_JOBS:-$(nproc)}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)" >/dev/null

findings=build/fuzz/findings
mkdir -p "$findings"

fuzz_one() {
  local target=$1 seconds=$2 findings=$3
  local name corpus work log result
  name=$(basename "$target" _fuzz)
  corpus=tests/fuzz/corpus/$name
  log=build/fuzz/$name.log
  work=$(mktemp -d)
  mkdir -p "$corpus"
  # New inputs go to the scratch folder first; only those that add coverage
  # are merged into the committed corpus.
  if "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings/$name-" \
       "$work" "$corpus" >"$log" 2>&1; then
    result=ok
  else
    result="FAILED (see $log)"
  fi
  "$target" -merge=1 "$corpus" "$work" >/dev/null 2>&1 || true
  rm -rf "$work"
  printf '%-20s %14s %8s %s\n' "$name" \
    "$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)" "$(ls "$corpus" | wc -l)" "$result"
}
export -f fuzz_one

printf '%-20s %14s %8s %s\n' target executions corpus result
ls build/fuzz/tests/fuzz/*_fuzz |
  xargs -P "$jobs" -I{} bash -c 'fuzz_one "$@"' _ {} "$seconds" "$findings" | tee build/fuzz/summary.txt
! grep -q FAILED build/fuzz/summary.txt
