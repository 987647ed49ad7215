#!/usr/bin/env python3
"""Prints the render-speed figures with the targets each is held to, and
exits non-zero when one falls short. Two parts, one run:

1. The benchmarks, in one process (medians of three repetitions): the
   speed-ups of the row kernel and the render job over EscapeValue, and the
   AVX2 kernel's executed rate against the processor's clock.
2. The built vemmo-render as a user runs it (medians of three runs): whole
   runs against the scalar one-thread render alone, the size of its PNG
   against zlib level 9 on the same picture, and its peak memory.

    python3 scripts/bench-ratios.py [--bench build/bench/vemmo_bench]
                                    [--render build/app/vemmo-render]
"""
import argparse
import json
import os
import re
import statistics
import struct
import subprocess
import sys
import tempfile
import time
import zlib

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

# (label, benchmark, least lane steps per second, or None to report only)
EXECUTED = [
    ("AVX2 kernel executed, whole set", "BM_RowKernelExecutedAvx2", 2.8e9),
    ("AVX2 kernel executed, long orbits", "BM_RowKernelExecutedAvx2LongOrbits", None),
]
CLOCK = "BM_ProcessorClock"

VIEW = ["--width", "1024", "--height", "768", "--limit", "1000"]
# (label, vemmo-render arguments, scalar one-thread render alone, least speed-up)
WHOLE_RUNS = [
    ("whole set", ["--centre", "-0.5,0", "--scale", "1"],
     "BM_RenderWholeSetEscapeValue1Worker", 8.0),
    ("seahorse valley", ["--centre", "-0.7435669,0.1314023", "--scale", "1e-4"],
     "BM_RenderSeahorseEscapeValue1Worker", 4.0),
]
MOST_PNG_GROWTH = 1.10  # default PNG over zlib level 9's
MEMORY_SIDE = 8192
MEMORY_SLACK = 20e6  # bytes over 1.2 times the image
RUNS = 3


def verdict(met):
    return "met" if met else "MISSED"


def run_benchmarks(bench):
    names = sorted({name for _, a, b, _ in RATIOS for name in (a, b)} |
                   {name for _, name, _ in EXECUTED} | {CLOCK} |
                   {name for _, _, name, _ in WHOLE_RUNS})
    run = subprocess.run(
        [bench, "--benchmark_format=json", f"--benchmark_repetitions={RUNS}",
         "--benchmark_report_aggregates_only=true",
         "--benchmark_filter=^(" + "|".join(names) + ")(/|$)"],
        check=True, capture_output=True, text=True)
    results = {}
    for entry in json.loads(run.stdout)["benchmarks"]:
        if entry.get("error_occurred"):
            print(f"{entry['name']}: {entry.get('error_message', 'failed')}")
            continue
        # Medians: a shared machine has slow moments.
        if entry.get("aggregate_name") != "median":
            continue
        # Options such as real_time are appended to the name after a slash.
        results[entry["run_name"].split("/")[0]] = entry
    return results


def report_ratios(results):
    failed = False
    for label, baseline, contender, target in RATIOS:
        if baseline not in results or contender not in results:
            print(f"{label}: not measured")
            continue
        a, b = results[baseline]["real_time"], results[contender]["real_time"]
        line = f"{label}: {a:.1f} ms / {b:.1f} ms = {a / b:.1f}x"
        if target is not None:
            failed |= a / b < target
            line += f"  (target {target:g}x: {verdict(a / b >= target)})"
        print(line)
    return failed


def report_executed(results):
    failed = False
    clock = results.get(CLOCK, {}).get("cycles")
    for label, name, target in EXECUTED:
        if name not in results:
            print(f"{label}: not measured")
            continue
        lanes = results[name]["lane_steps"]
        live = results[name]["live_lane_steps"]
        line = f"{label}: {lanes / 1e9:.2f} G lane steps/s ({live / lanes:.0%} live)"
        if clock:
            line += (f", {clock / results[name]['vector_steps']:.2f} cycles per vector step"
                     f" at {clock / 1e9:.2f} GHz")
        if target is not None:
            failed |= lanes < target
            line += f"  (target {target / 1e9:g} G: {verdict(lanes >= target)})"
        print(line)
    return failed


def timed_run(command):
    start = time.perf_counter()
    subprocess.run(command, check=True)
    return time.perf_counter() - start


def image_data(path):
    """The inflated image data of a PNG file, all IDAT chunks joined."""
    data = open(path, "rb").read()
    at, idat = 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        if kind == b"IDAT":
            idat += data[at + 8:at + 8 + length]
        at += 12 + length
    return zlib.decompress(idat)


def report_whole_runs(render, results, folder):
    failed = False
    png = os.path.join(folder, "view.png")
    for label, view, baseline, target in WHOLE_RUNS:
        command = [render] + VIEW + view + ["--output", png]
        timed_run(command)  # warm the caches and the page cache
        wall = statistics.median(timed_run(command) for _ in range(RUNS)) * 1e3
        if baseline in results:
            scalar = results[baseline]["real_time"]
            met = scalar / wall >= target
            failed |= not met
            print(f"whole vemmo-render run, {label}: {scalar:.1f} ms scalar render /"
                  f" {wall:.1f} ms = {scalar / wall:.1f}x  (target {target:g}x: {verdict(met)})")
        else:
            print(f"whole vemmo-render run, {label}: {wall:.1f} ms, baseline not measured")
        # WritePng's file is the same picture's data at level 9 in one IDAT:
        # signature, IHDR, IDAT and IEND chunks add 57 bytes.
        default_size = os.path.getsize(png)
        level9_size = 57 + len(zlib.compress(image_data(png), 9))
        growth = default_size / level9_size
        failed |= growth > MOST_PNG_GROWTH
        print(f"default PNG, {label}: {default_size} bytes, zlib level 9 {level9_size}"
              f" = {growth:.3f}  (target at most {MOST_PNG_GROWTH:g}:"
              f" {verdict(growth <= MOST_PNG_GROWTH)})")
    return failed


def report_memory(render, folder):
    side = str(MEMORY_SIDE)
    command = ["/usr/bin/time", "-v", render, "--width", side, "--height", side,
               "--limit", "1000", "--output", os.path.join(folder, "big.png")]
    peaks = []
    for _ in range(RUNS):
        run = subprocess.run(command, check=True, capture_output=True, text=True)
        found = re.search(r"Maximum resident set size \(kbytes\): (\d+)", run.stderr)
        peaks.append(int(found.group(1)) * 1024)
    peak = statistics.median(peaks)
    image = MEMORY_SIDE * MEMORY_SIDE * 3
    limit = 1.2 * image + MEMORY_SLACK
    print(f"peak memory, {side} x {side}: {peak / 1e6:.1f} MB for a {image / 1e6:.1f} MB image"
          f"  (target at most {limit / 1e6:.1f} MB: {verdict(peak <= limit)})")
    return peak > limit


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bench", default="build/bench/vemmo_bench")
    parser.add_argument("--render", default="build/app/vemmo-render")
    args = parser.parse_args()

    results = run_benchmarks(args.bench)
    failed = report_ratios(results)
    failed |= report_executed(results)
    with tempfile.TemporaryDirectory(prefix="vemmo-bench-") as folder:
        failed |= report_whole_runs(args.render, results, folder)
        failed |= report_memory(args.render, folder)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
