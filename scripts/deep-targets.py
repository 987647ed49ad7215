#!/usr/bin/env python3
"""Prints the deep-zoom figures with the targets each is held to, and exits
non-zero when one falls short. Run from the source root after a Release
build; the machine should be otherwise idle (figures are medians).

1. Whole vemmo-render runs of the deep presets at 1024 x 768 on two threads:
   mini-300 (near 1e-300) at limit 100 000 under 10 s, mini-1000 (near
   1e-1000) at limit 1 000 000 under 60 s, reference orbit included; the
   same with --no-skip for comparison (mini-300 only: without skipping,
   mini-1000 takes many minutes).
2. Shallow views (1e-5) from vemmo_bench: perturbation at most twice the
   double path's time, and at least 99.9 % of pixels whose step counts
   agree, held at seahorse valley (limit 1000); with MPFR as judge on 4096
   samples, how often each path is wrong. The spiral at seahorse valley's
   heart (limit 2000) is reported beside it: there most pixels lie so near
   the boundary that the double path itself is wrong on some, and MPFR
   tells which path is.
3. With --check, each deep run again with --check: 4096 sampled pixels
   against MPFR (minutes for mini-1000, whose inside samples iterate a
   million times in 3400-bit arithmetic).

    python3 scripts/deep-targets.py [--render build/app/vemmo-render]
                                    [--bench build/bench/vemmo_bench] [--check]
"""
import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

VIEW = ["--width", "1024", "--height", "768", "--threads", "2"]
# (label, arguments, runs, most seconds or None to report only)
DEEP = [
    ("mini-300, limit 100000", ["--preset", "mini-300", "--limit", "100000"], 3, 10.0),
    ("mini-300, limit 100000, --no-skip", ["--preset", "mini-300", "--limit", "100000", "--no-skip"], 1, None),
    ("mini-1000, limit 1000000", ["--preset", "mini-1000", "--limit", "1000000"], 3, 60.0),
]
SHALLOW = ("BM_DeepShallowDouble", "BM_DeepShallowPerturbation")
# (label, benchmark argument, held to the targets)
SHALLOW_VIEWS = [("seahorse valley", "0", True), ("spiral", "1", False)]
MOST_SHALLOW_COST = 2.0
LEAST_EQUAL_SHARE = 0.999


def verdict(met):
    return "met" if met else "MISSED"


def timed(command):
    start = time.perf_counter()
    run = subprocess.run(command, capture_output=True, text=True)
    return time.perf_counter() - start, run


def report_deep(render, folder, check):
    failed = False
    output = os.path.join(folder, "deep.png")
    for label, arguments, runs, most in DEEP:
        command = [render, *arguments, *VIEW, "--output", output]
        times = []
        for _ in range(runs):
            seconds, run = timed(command)
            if run.returncode != 0:
                print(f"{label}: vemmo-render failed: {run.stderr.strip()}")
                failed = True
                break
            times.append(seconds)
        if not times:
            continue
        seconds = statistics.median(times)
        line = f"{label}: {seconds:.1f} s (median of {len(times)})"
        if most is not None:
            failed |= seconds >= most
            line += f"  (target under {most:g} s: {verdict(seconds < most)})"
        print(line, flush=True)
        if check and most is not None:
            _, run = timed(command + ["--check"])
            print(f"  {run.stderr.strip()}", flush=True)
            failed |= run.returncode != 0
    return failed


def report_shallow(bench):
    run = subprocess.run(
        [bench, "--benchmark_format=json", "--benchmark_repetitions=3",
         "--benchmark_report_aggregates_only=true",
         "--benchmark_filter=^(" + "|".join(SHALLOW) + ")/"],
        check=True, capture_output=True, text=True)
    results = {}
    for entry in json.loads(run.stdout)["benchmarks"]:
        if entry.get("aggregate_name") == "median":
            name, argument = entry["run_name"].split("/")[:2]
            results[name, argument] = entry
    failed = False
    for label, argument, held in SHALLOW_VIEWS:
        double, perturbation = (results[name, argument] for name in SHALLOW)
        cost = perturbation["real_time"] / double["real_time"]
        share = perturbation["equal_share"]
        cost_line = (f"shallow 1e-5, {label}, perturbation over doubles: "
                     f"{perturbation['real_time']:.0f} ms / {double['real_time']:.0f} ms = {cost:.1f}x")
        share_line = f"shallow 1e-5, {label}, equal step counts: {share:.2%}"
        if held:
            failed |= cost > MOST_SHALLOW_COST or share < LEAST_EQUAL_SHARE
            cost_line += f"  (target at most {MOST_SHALLOW_COST:g}x: {verdict(cost <= MOST_SHALLOW_COST)})"
            share_line += (f"  (target at least {LEAST_EQUAL_SHARE:.1%}: "
                           f"{verdict(share >= LEAST_EQUAL_SHARE)})")
        print(cost_line)
        print(share_line)
        print(f"shallow 1e-5, {label}, 4096 samples differing from MPFR: perturbation "
              f"{perturbation['mpfr_differs_perturbation']:.2%}, double path "
              f"{perturbation['mpfr_differs_double']:.2%}", flush=True)
    return failed


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--render", default="build/app/vemmo-render")
    parser.add_argument("--bench", default="build/bench/vemmo_bench")
    parser.add_argument("--check", action="store_true")
    options = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        failed = report_deep(options.render, folder, options.check)
    failed |= report_shallow(options.bench)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
