#!/usr/bin/env bash
# Builds Vemmo and runs every test. Exits non-zero when anything fails.
#   scripts/test.sh                 normal build in build/
#   scripts/test.sh address         AddressSanitizer + UBSan build in build-address/
#   scripts/test.sh thread          ThreadSanitizer build in build-thread/
set -euo pipefail
cd "$(dirname "$0")/.."

sanitize="${1:-}"
dir="build${sanitize:+-$sanitize}"
type=Release
[ -n "$sanitize" ] && type=RelWithDebInfo

bash scripts/setup.sh
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="$type" -DVEMMO_SANITIZE="$sanitize"
cmake --build "$dir" -j "$(nproc)"
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
