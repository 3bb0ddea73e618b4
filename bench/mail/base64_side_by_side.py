#!/usr/bin/python3
"""Times base64 decoding of 10 MB in 76-character CR LF lines: mail_bench's decoder (whole
text in one write, in process) beside Python's binascii.a2b_base64 and base64.b64decode on the
same text, interleaved, and prints medians and ratios. CPU time on both sides, as the machine is shared. Extra mail_bench binaries (an older
build, say) can be given to be timed in the same rounds.

usage: base64_side_by_side.py [--bench PATH ...] [--rounds N]
"""
import argparse
import base64
import binascii
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time


def time_bench(binary, input_path):
    env = dict(os.environ, VORLA_BENCH_WRITE_INPUT=input_path)
    out = subprocess.run([binary, "--benchmark_filter=BM_Base64DecodingStream/65536$",
                          "--benchmark_format=json", "--benchmark_min_time=0.3"],
                         check=True, capture_output=True, env=env).stdout
    run = json.loads(out)["benchmarks"][0]
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[run["time_unit"]]
    return run["cpu_time"] * scale


def time_python(decode, text, reps=5):
    best = float("inf")
    for _ in range(reps):
        start = time.thread_time()
        decode(text)
        best = min(best, time.thread_time() - start)
    return best


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, "..", "..", "build", "bench", "mail", "mail_bench")
    ap = argparse.ArgumentParser()
    ap.add_argument("--bench", action="append")
    ap.add_argument("--rounds", type=int, default=11)
    args = ap.parse_args()
    benches = args.bench or [default]
    with tempfile.TemporaryDirectory() as folder:
        input_path = os.path.join(folder, "input.b64")
        time_bench(benches[0], input_path)
        with open(input_path, "rb") as f:
            text = f.read()
        if base64.b64decode(text) != binascii.a2b_base64(text):
            sys.exit("the two Python decoders disagree")
        times = {name: [] for name in benches + ["binascii", "b64decode"]}
        for _ in range(args.rounds):
            for binary in benches:
                times[binary].append(time_bench(binary, input_path))
            times["binascii"].append(time_python(binascii.a2b_base64, text))
            times["b64decode"].append(time_python(base64.b64decode, text))
    med = {name: statistics.median(values) for name, values in times.items()}
    print(f"base64 decoding of {len(text)} bytes, medians of {args.rounds} rounds")
    for name, value in med.items():
        print(f"  {name:60s} {value * 1e3:8.2f} ms")
    for binary in benches:
        print(f"  {binary}: {med['b64decode'] / med[binary]:.2f} times b64decode, "
              f"{med['binascii'] / med[binary]:.2f} times binascii")


if __name__ == "__main__":
    main()
