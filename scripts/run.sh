#!/usr/bin/env bash
# Builds Vemmo and renders the default view to vemmo.png (extra arguments go
# to vemmo-render; try --help).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)" --target vemmo-render
if [ $# -eq 0 ]; then
  set -- --output vemmo.png
fi
./build/app/vemmo-render "$@"
