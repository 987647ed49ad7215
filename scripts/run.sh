#!/usr/bin/env bash
# Builds Vemmo and starts the explorer, vemmo, from the repository root,
# where it finds resources/. Without a display it says so and renders the
# explorer's starting view to vemmo.png with vemmo-render instead. Arguments,
# when given, go to vemmo-render (try --help), display or not.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release

if [ $# -eq 0 ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  cmake --build build -j "$(nproc)" --target vemmo
  exec ./build/app/vemmo
fi

cmake --build build -j "$(nproc)" --target vemmo-render
if [ $# -eq 0 ]; then
  echo "run.sh: no display, so the starting view goes to vemmo.png through vemmo-render instead" >&2
  set -- --gradient 'resources/gradients/!vemmo.png' --output vemmo.png
fi
exec ./build/app/vemmo-render "$@"
