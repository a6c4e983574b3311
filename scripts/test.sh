#!/usr/bin/env bash
# Checks the formatting, builds the suite with AddressSanitizer and UBSan (Debug)
# and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
bash scripts/checkformat.sh
cmake -S . -B build/Debug -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSUITE_SANITIZE=ON
cmake --build build/Debug
ctest --test-dir build/Debug --output-on-failure -j "$(nproc)"
