#!/usr/bin/env bash
# Builds the program and runs it. (The demo farm run arrives with the farm simulator.)
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)" --target KfRcCmd >/dev/null
./build/KfRcCmd -help || true
