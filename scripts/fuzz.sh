#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each one for
# the given number of seconds (default 600), one after the other, on a copy of
# its seed corpus. New inputs go to build-fuzz/corpus/<name>/; a crash, leak or
# time-out is written to build-fuzz/findings/<name>/ (keep it in
# fuzz/regressions/<name>/ once fixed). Prints the executions of each target.
#   scripts/fuzz.sh [seconds] [target...]   targets: cacheindex cmdline frames messages rs settings
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in fuzz/fuzz_*.cpp; do
    name=$(basename "$f" .cpp)
    targets+=("${name#fuzz_}")
  done
fi

KF_FUZZ_DEPS=1 ./scripts/install-deps.sh
build=build-fuzz
cmake -S . -B "$build" -DKF_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
programs=()
for t in "${targets[@]}"; do programs+=(--target "fuzz_$t"); done
cmake --build "$build" -j2 "${programs[@]}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
summary=()
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  findings="$build/findings/$t"
  mkdir -p "$corpus" "$findings"
  log="$build/fuzz-$t.log"
  echo "== fuzz_$t for ${seconds}s (log $log)"
  status=0
  nice -n 10 "$build/fuzz/fuzz_$t" "$corpus" "fuzz/corpus/$t" "fuzz/regressions/$t" \
    -max_total_time="$seconds" -timeout=25 -rss_limit_mb=3072 -max_len=65536 \
    -artifact_prefix="$findings/" -print_final_stats=1 >"$log" 2>&1 || status=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  line="fuzz_$t: ${execs:-?} executions in ${seconds}s"
  [ "$status" -ne 0 ] && line="$line, FINDING (exit $status, see $log and $findings)"
  echo "$line"
  summary+=("$line")
done
echo
printf '%s\n' "${summary[@]}"
