#!/usr/bin/env bash
# Runs the benchmark suite and prints its table (after ./test.sh has configured build/).
#   ./scripts/bench.sh                 every figure, medians of 5 runs
#   ./scripts/bench.sh --runs 9        more runs per figure
#   ./scripts/bench.sh --callgrind     also instruction counts (repeatable on a busy machine)
#   ./scripts/bench.sh --only process,wait,transfer,pool,query
# BUILD=folder picks another build folder. Run it on a quiet machine: the table
# ends with the load average seen before and after.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" >/dev/null
fi
targets=(KfRcCmd)
for f in bench/*.cpp; do
  targets+=("bench_$(basename "$f" .cpp)")
done
cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null
exec python3 bench/suite.py --build "$build" "$@"
