#!/usr/bin/env python3
"""Runs the render-speed benchmarks in one process and prints the speed-ups
against EscapeValue (medians of three runs), with the least each is held to.
Exits non-zero when one falls short.

    python3 scripts/bench-ratios.py [path/to/vemmo_bench]
"""
import json
import subprocess
import sys

# (label, baseline, contender, least speed-up)
RATIOS = [
    ("row kernel alone, whole set, 1 thread", "BM_RowKernelViewEscapeValue",
     "BM_RowKernelViewAvx2", 8.0),
    ("portable path alone, whole set, 1 thread", "BM_RowKernelViewEscapeValue",
     "BM_RowKernelViewScalar", None),
    ("render job, whole set, 2 workers vs 1", "BM_RenderWholeSetEscapeValue1Worker",
     "BM_RenderWholeSetKernel2Workers", 12.0),
    ("render job, seahorse valley, 2 workers vs 1", "BM_RenderSeahorseEscapeValue1Worker",
     "BM_RenderSeahorseKernel2Workers", 6.0),
]


def main():
    bench = sys.argv[1] if len(sys.argv) > 1 else "build/bench/vemmo_bench"
    names = sorted({name for _, a, b, _ in RATIOS for name in (a, b)})
    run = subprocess.run(
        [bench, "--benchmark_format=json", "--benchmark_repetitions=3",
         "--benchmark_report_aggregates_only=true",
         "--benchmark_filter=^(" + "|".join(names) + ")(/|$)"],
        check=True, capture_output=True, text=True)
    results = {}
    for entry in json.loads(run.stdout)["benchmarks"]:
        if entry.get("error_occurred"):
            print(f"{entry['name']}: {entry.get('error_message', 'failed')}")
            continue
        # Medians of three: a shared machine has slow moments.
        if entry.get("aggregate_name") != "median":
            continue
        # Options such as real_time are appended to the name after a slash.
        results[entry["run_name"].split("/")[0]] = entry["real_time"]
    failed = False
    for label, baseline, contender, target in RATIOS:
        if baseline not in results or contender not in results:
            print(f"{label}: not measured")
            continue
        ratio = results[baseline] / results[contender]
        verdict = ""
        if target is not None:
            met = ratio >= target
            failed |= not met
            verdict = f"  (target {target:g}x: {'met' if met else 'MISSED'})"
        print(f"{label}: {results[baseline]:.1f} ms / {results[contender]:.1f} ms"
              f" = {ratio:.1f}x{verdict}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
