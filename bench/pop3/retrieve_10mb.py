#!/usr/bin/python3
"""Retrieves and parses a 10 MB message from a private Dovecot on 127.0.0.1, once with
vorla-mailtool (TQelPOP + TQelMsg) and once with Python's poplib and email parser, interleaved,
and prints the medians of --runs and how many times faster each tool is than Python. More
than one --tool (an older build, say) are timed in the same rounds. Run as root or as a user
Dovecot may serve.

usage: retrieve_10mb.py [--tool PATH ...] [--runs N]
"""
import argparse
import base64
import email
import os
import poplib
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from dovecot_sandbox import DovecotSandbox, SandboxError  # noqa: E402


def big_message(size):
    rnd = random.Random(7)
    raw_len = size * 3 // 4 - 2000
    data = bytes(rnd.getrandbits(8) for _ in range(raw_len))
    b64 = base64.encodebytes(data).replace(b"\n", b"\r\n")
    head = (b"From: bench@example.org\r\nTo: bob@example.org\r\nSubject: ten megabytes\r\n"
            b"MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"bb\"\r\n\r\n"
            b"--bb\r\nContent-Type: text/plain\r\n\r\nA big one.\r\n"
            b"--bb\r\nContent-Type: application/octet-stream; name=\"big.bin\"\r\n"
            b"Content-Transfer-Encoding: base64\r\n\r\n")
    return head + b64 + b"--bb--\r\n", data


def run_tool(tool, port):
    start = time.perf_counter()
    out = subprocess.run([tool, "pop3", "127.0.0.1", str(port), "bench", "bench", "retr", "1"],
                         check=True, capture_output=True).stdout
    elapsed = time.perf_counter() - start
    if b"big.bin" not in out:
        sys.exit("vorla-mailtool did not return the attachment")
    return elapsed


def run_python(port, expected):
    start = time.perf_counter()
    box = poplib.POP3("127.0.0.1", port)
    box.user("bench")
    box.pass_("bench")
    _, lines, _ = box.retr(1)
    message = email.message_from_bytes(b"\r\n".join(lines) + b"\r\n")
    payloads = [part.get_payload(decode=True) for part in message.walk() if not part.is_multipart()]
    box.quit()
    elapsed = time.perf_counter() - start
    if payloads[-1] != expected:
        sys.exit("poplib/email returned a damaged attachment")
    return elapsed


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_tool = os.path.join(here, "..", "..", "build", "tools", "vorla-mailtool", "vorla-mailtool")
    ap = argparse.ArgumentParser()
    ap.add_argument("--tool", action="append")
    ap.add_argument("--runs", type=int, default=11)
    args = ap.parse_args()
    tools = args.tool or [default_tool]
    for tool in tools:
        if not os.access(tool, os.X_OK):
            sys.exit("vorla-mailtool not found: " + tool)

    folder = tempfile.mkdtemp(prefix="vorla-bench-pop3-")
    with DovecotSandbox(folder, "bench", "bench") as box:
        raw, data = big_message(10 * 1024 * 1024)
        box.add_message(raw)
        try:
            port, _, _ = box.start()
        except SandboxError as e:
            sys.exit(str(e))  # the folder stays, with the log and configuration to look at
        try:
            times = {name: [] for name in tools + ["python"]}
            for _ in range(args.runs):
                for tool in tools:
                    times[tool].append(run_tool(tool, port))
                times["python"].append(run_python(port, data))
        finally:
            box.stop()
            shutil.rmtree(folder, ignore_errors=True)
    median = {name: statistics.median(values) for name, values in times.items()}
    print("message: %d bytes, medians of %d interleaved runs" % (len(raw), args.runs))
    print("poplib + email parse: %.3f s" % median["python"])
    for tool in tools:
        print("%s retr 1: %.3f s, %.2f times faster than poplib + email"
              % (tool, median[tool], median["python"] / median[tool]))


if __name__ == "__main__":
    main()
