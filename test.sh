#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test.
#   ./test.sh            the whole suite
#   KF_SANITIZE=1 ./test.sh   the same under AddressSanitizer and UBSan (build-asan/)
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
ctest --output-on-failure -j"$(nproc)"
