#!/usr/bin/env bash
# Builds Vemmo and runs every test. Exits non-zero when anything fails.
#   scripts/test.sh                 normal build in build/
#   scripts/test.sh address         AddressSanitizer + UBSan build in build-address/
#   scripts/test.sh thread          ThreadSanitizer build in build-thread/
# The normal run also builds the fuzz targets with clang and runs each for a
# few seconds from its seeds (scripts/fuzz.sh --smoke), so that a reader
# whose target no longer builds or fails at once fails the run.
# The tests run on a virtual X display with Mesa's software OpenGL, so the
# ones that open a window (labelled "gl") need no screen or graphics card.
set -euo pipefail
cd "$(dirname "$0")/.."

sanitize="${1:-}"
dir="build${sanitize:+-$sanitize}"
type=Release
[ -n "$sanitize" ] && type=RelWithDebInfo

bash scripts/setup.sh
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="$type" -DVEMMO_SANITIZE="$sanitize"
cmake --build "$dir" -j "$(nproc)"

if [ -z "$sanitize" ]; then
  bash scripts/fuzz.sh --smoke
fi

run_env=(LIBGL_ALWAYS_SOFTWARE=1)
if [ "$sanitize" = address ]; then
  # Leaks the GL driver, X, D-Bus and SDL keep until exit are not ours.
  run_env+=("LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0")
fi
if [ "$sanitize" = thread ]; then
  # Mesa's software rasteriser syncs its own threads in code ThreadSanitizer
  # cannot see; drawing on the calling thread keeps its reports to ours.
  run_env+=(LP_NUM_THREADS=0)
fi
xvfb-run -a -s "-screen 0 1024x768x24" \
  env "${run_env[@]}" ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
