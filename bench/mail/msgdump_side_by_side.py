#!/usr/bin/python3
"""Parses messages with vorla-msgdump and with Python's email package (which also decodes
every part), interleaved, and prints the median times and the peak resident size of each
process beside the message size, for a 10 MB message with a 7.5 MB base64 attachment, a
plain message, a plain one of 12 MB in 3-byte lines, one of the same lines with no blank line
(all of it header block), a flat multipart of many parts, one nested 150 deep and a 5 MB one
of 10,000 nested parts (which Python's recursive parser cannot read: only the tools are measured
there). More than one --tool (an older build, say) are measured in the same rounds.

usage: msgdump_side_by_side.py [--tool PATH ...] [--runs N]
"""
import argparse
import base64
import os
import random
import statistics
import subprocess
import sys
import tempfile
import time

PYTHON_PARSE = """
import email, sys
with open(sys.argv[1], "rb") as f:
    message = email.message_from_binary_file(f)
for part in message.walk():
    if not part.is_multipart():
        part.get_payload(decode=True)
"""


def attachment_message(size):
    rnd = random.Random(7)
    data = rnd.randbytes(size * 3 // 4 - 2000)
    b64 = base64.encodebytes(data).replace(b"\n", b"\r\n")
    return (b"From: bench@example.org\r\nSubject: big\r\nMIME-Version: 1.0\r\n"
            b"Content-Type: multipart/mixed; boundary=\"bb\"\r\n\r\n"
            b"--bb\r\nContent-Type: text/plain\r\n\r\nA big one.\r\n"
            b"--bb\r\nContent-Type: application/octet-stream; name=\"big.bin\"\r\n"
            b"Content-Transfer-Encoding: base64\r\n\r\n" + b64 + b"--bb--\r\n")


def plain_message(size):
    line = b"The quick brown fox jumps over the lazy dog, again and again and again.\r\n"
    return b"From: a@example.org\r\nSubject: plain\r\n\r\n" + line * (size // len(line))


def short_lines_message(size, blank=True):
    """Lines of three characters: where the store of each line, not its text, costs most.
    Without the blank line they are all header block."""
    return (b"From: a@example.org\r\nSubject: short lines\r\n" + (b"\r\n" if blank else b"") +
            b"abc\r\n" * (size // 5))


def flat_message(size, parts=2000):
    body = b"x" * 70 + b"\r\n"
    part = (b"--ff\r\nContent-Type: text/plain\r\n\r\n" + body * (size // parts // len(body)))
    return (b"From: a@example.org\r\nSubject: flat\r\nMIME-Version: 1.0\r\n"
            b"Content-Type: multipart/mixed; boundary=\"ff\"\r\n\r\n" + part * parts + b"--ff--\r\n")


def nested_message(depth):
    head = b"From: a@example.org\r\nSubject: nested\r\nMIME-Version: 1.0\r\n"
    opening = b""
    closing = b""
    for level in range(depth):
        b = b"n%d" % level
        opening += b"Content-Type: multipart/mixed; boundary=\"" + b + b"\"\r\n\r\n--" + b + b"\r\n"
        closing = b"\r\n--" + b + b"--\r\n" + closing
    return head + opening + b"Content-Type: text/plain\r\n\r\nleaf" + closing


def nested_filled_message(depth, filler_lines=6):
    """depth nested multiparts, each with a text part of filler_lines lines before the next."""
    head = b"From: a@example.org\r\nSubject: nested and filled\r\nMIME-Version: 1.0\r\n"
    filler = (b"y" * 70 + b"\r\n") * filler_lines
    opening = []
    closing = []
    for level in range(depth):
        b = b"n%d" % level
        opening.append(b"Content-Type: multipart/mixed; boundary=\"" + b + b"\"\r\n\r\n--" + b +
                       b"\r\nContent-Type: text/plain\r\n\r\n" + filler + b"--" + b + b"\r\n")
        closing.append(b"\r\n--" + b + b"--\r\n")
    return (head + b"".join(opening) + b"Content-Type: text/plain\r\n\r\nleaf" +
            b"".join(reversed(closing)))


def timed(command, folder):
    # GNU time forks the program from its own small process: a child forked from this one
    # would count this process's size in its peak (Linux keeps the peak across exec).
    report = os.path.join(folder, "peak")
    start = time.perf_counter()
    done = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report] + command,
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    elapsed = time.perf_counter() - start
    if done.returncode != 0:
        sys.exit("failed: %s: %s" % (command, done.stderr.decode(errors="replace")))
    with open(report) as f:
        return elapsed, int(f.read().split()[-1]) * 1024


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, "..", "..", "build", "tools", "vorla-msgdump", "vorla-msgdump")
    ap = argparse.ArgumentParser()
    ap.add_argument("--tool", action="append")
    ap.add_argument("--runs", type=int, default=11)
    args = ap.parse_args()
    tools = args.tool or [default]
    shapes = {
        "10 MB, 7.5 MB base64 attachment": attachment_message(10 * 1024 * 1024),
        "plain, 10 MB": plain_message(10 * 1024 * 1024),
        "short lines, 12 MB of 3-byte lines": short_lines_message(12 * 1024 * 1024),
        "header block only, 12 MB of 3-byte lines": short_lines_message(12 * 1024 * 1024, False),
        "flat multipart, 2000 parts, 10 MB": flat_message(10 * 1024 * 1024),
        "nested 150 deep (Python's parser recurses)": nested_message(150),
        "nested 10,000 deep, 5 MB": nested_filled_message(10000),
    }
    without_python = {"nested 10,000 deep, 5 MB"}
    with tempfile.TemporaryDirectory() as folder:
        files = {}
        for index, (name, raw) in enumerate(shapes.items()):
            files[name] = (os.path.join(folder, "message%d.eml" % index), len(raw))
            with open(files[name][0], "wb") as f:
                f.write(raw)
        shapes.clear()
        del raw
        for name, (path, size) in files.items():
            commands = {tool: [tool, path] for tool in tools}
            if name not in without_python:
                commands["python email"] = [sys.executable, "-c", PYTHON_PARSE, path]
            times = {key: [] for key in commands}
            peaks = {key: 0 for key in commands}
            for _ in range(args.runs):
                for key, command in commands.items():
                    elapsed, peak = timed(command, folder)
                    times[key].append(elapsed)
                    peaks[key] = max(peaks[key], peak)
            python = statistics.median(times["python email"]) if "python email" in times else None
            print("%s (%d bytes), medians of %d" % (name, size, args.runs))
            for key in commands:
                t = statistics.median(times[key])
                ratio = ("%5.2f times faster than python" % (python / t) if python
                         else "(python cannot parse it)")
                print("  %-50s %8.3f s  %s  peak RSS %6.1f MB = %.2f x message"
                      % (key, t, ratio, peaks[key] / 1e6, peaks[key] / size))


if __name__ == "__main__":
    main()
