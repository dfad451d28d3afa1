#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test.
#   ./test.sh            the whole suite
#   KF_SANITIZE=1 ./test.sh   the same under AddressSanitizer, LeakSanitizer and
#                        UBSan (build-asan/); any sanitizer report fails the run
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

build=build
extra=()
if [ "${KF_SANITIZE:-0}" = "1" ]; then
  build=build-asan
  extra=(-DKF_SANITIZE=ON)
fi

cmake -S . -B "$build" "${extra[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
cd "$build"

if [ "${KF_SANITIZE:-0}" = "1" ]; then
  # Every sanitized process (unit tests, the program run by the end-to-end
  # tests, the fuzz replays) writes its reports to files here, so that a report
  # on the stderr of a child process cannot go unnoticed.
  reports="$PWD/sanitizer-reports"
  rm -rf "$reports" && mkdir -p "$reports"
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:log_path=$reports/asan"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$reports/ubsan"
  export LSAN_OPTIONS="suppressions=$(cd .. && pwd)/scripts/lsan.supp:print_suppressions=0"
  status=0
  ctest --output-on-failure -j"$(nproc)" || status=$?
  if compgen -G "$reports/*" >/dev/null; then
    cat "$reports"/*
    echo "Sanitizer reports in $reports" >&2
    exit 1
  fi
  exit "$status"
fi

ctest --output-on-failure -j"$(nproc)"
