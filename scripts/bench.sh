#!/usr/bin/env bash
# `make bench`: builds the benchmarks natively and for Windows, runs both (the
# Windows one under Wine) and prints one table of side-by-side ratios.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$jobs" >/dev/null
cmake --preset mingw -DORVANTE_BENCH=ON >/dev/null
cmake --build --preset mingw -j "$jobs" >/dev/null

state=build/mingw/wine
scripts/wine-session.sh start "$state"
trap 'scripts/wine-session.sh stop "$state"' EXIT
echo "ratio = subject / baseline (below 1: the subject is faster or smaller)"
build/bench/bench/orvante-bench
# Wine's sound driver complains about the missing sound card; not ours to show.
scripts/wine-run.sh "$state" build/mingw/bench-run/orvante-bench.exe --no-header | grep -v '^ALSA lib' 
