#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ (clang, ASan + UBSan) in build-fuzz/
# and runs them one after another.
#   scripts/fuzz.sh [SECONDS] [TARGET...]  each target SECONDS (default 600),
#                                          growing build-fuzz/corpus/<target>
#   scripts/fuzz.sh --smoke [TARGET...]    each target 5 s from the seeds
#                                          alone: the check CI runs
# Before fuzzing, every input kept under tests/data/fuzz-regressions/<target>/
# is run once. Inputs that fail are saved in build-fuzz/findings/<target>/.
# Prints executions, corpus size and findings per target; exits non-zero
# when any target finds anything or fails to build.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

smoke=0
seconds=600
if [ "${1:-}" = --smoke ]; then
  smoke=1
  seconds=5
  shift
elif [[ "${1:-}" =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
all=(xml bmp jpeg png tga locations gradient deep obj 3ds wav ogg resources gui)
if [ $# -gt 0 ]; then targets=("$@"); else targets=("${all[@]}"); fi

bash scripts/setup.sh
dir="$root/build-fuzz"
CC=clang CXX=clang++ cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEMMO_FUZZ=ON \
  -DVEMMO_BUILD_TESTS=OFF -DVEMMO_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"
python3 scripts/make-fuzz-seeds.py "$dir/seeds" >/dev/null

# Leaks inside system libraries that the readers cannot mend.
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0"
failed=0
printf '%-10s %12s %8s %9s\n' target executions corpus findings
for t in "${targets[@]}"; do
  bin="$dir/fuzz/fuzz_$t"
  findings="$dir/findings/$t"
  rm -rf "$findings"
  mkdir -p "$findings"
  log="$dir/findings/$t.log"
  status=0

  regressions="$root/tests/data/fuzz-regressions/$t"
  if [ -d "$regressions" ] && [ -n "$(ls -A "$regressions")" ]; then
    "$bin" -artifact_prefix="$findings/" "$regressions"/* >"$log" 2>&1 || status=1
  fi

  if [ $status -eq 0 ]; then
    if [ $smoke -eq 1 ]; then
      corpus=$(mktemp -d)
    else
      corpus="$dir/corpus/$t"
      mkdir -p "$corpus"
    fi
    # Absolute paths throughout: the OBJ target works from a folder of its own.
    "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$findings/" "$corpus" "$dir/seeds/$t" >>"$log" 2>&1 || status=1
    [ $smoke -eq 1 ] && rm -rf "$corpus"
  fi

  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  size=$(grep -o 'corp: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  found=$(find "$findings" -maxdepth 1 -type f | wc -l)
  printf '%-10s %12s %8s %9s\n' "$t" "${execs:-0}" "${size:-0}" "$found"
  if [ $status -ne 0 ] || [ "$found" -ne 0 ]; then
    failed=1
    echo "fuzz: $t failed; see $log and $findings" >&2
    grep -m1 -A12 -E '^==[0-9]+==ERROR|runtime error|deadly signal' "$log" >&2 || true
  fi
done
exit $failed
