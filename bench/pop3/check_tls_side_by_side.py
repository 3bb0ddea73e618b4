#!/usr/bin/python3
"""One account check (connect, login, STAT, LAST, QUIT) with vorla-mailtool against a private
Dovecot on 127.0.0.1, over plain POP3 and over POP3S with the certificate pinned, interleaved
round by round. Python's poplib does the same check over POP3 and POP3_SSL in the same rounds
as the anchor. Prints the median wall time of each in ms and the cost of TLS. Every time
includes starting the process (vorla-mailtool) or opening the connection (poplib).

usage: check_tls_side_by_side.py [--tool PATH] [--runs N]
"""
import argparse
import os
import poplib
import shutil
import ssl
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from dovecot_sandbox import DovecotSandbox, SandboxError  # noqa: E402

USER = "bench"
PASSWORD = "bench"
EXPECTED = b"count=1 "


def run_tool(command):
    start = time.perf_counter()
    out = subprocess.run(command, check=True, capture_output=True).stdout
    elapsed = time.perf_counter() - start
    if not out.startswith(EXPECTED):
        sys.exit("vorla-mailtool did not count the message: " + out.decode(errors="replace"))
    return elapsed


def run_poplib(box):
    start = time.perf_counter()
    box_count, _ = box.stat()
    try:
        box._shortcmd("LAST")
    except poplib.error_proto:
        pass  # Dovecot has no LAST
    box.quit()
    elapsed = time.perf_counter() - start
    if box_count != 1:
        sys.exit("poplib did not count the message")
    return elapsed


def poplib_plain(port):
    start = time.perf_counter()
    box = poplib.POP3("127.0.0.1", port, timeout=10)
    box.user(USER)
    box.pass_(PASSWORD)
    return time.perf_counter() - start + run_poplib(box)


def poplib_tls(port, context):
    start = time.perf_counter()
    box = poplib.POP3_SSL("127.0.0.1", port, timeout=10, context=context)
    box.user(USER)
    box.pass_(PASSWORD)
    return time.perf_counter() - start + run_poplib(box)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_tool = os.path.join(here, "..", "..", "build", "tools", "vorla-mailtool",
                                "vorla-mailtool")
    ap = argparse.ArgumentParser()
    ap.add_argument("--tool", default=default_tool)
    ap.add_argument("--runs", type=int, default=20)
    args = ap.parse_args()
    if not os.access(args.tool, os.X_OK):
        sys.exit("vorla-mailtool not found: " + args.tool)

    folder = tempfile.mkdtemp(prefix="vorla-bench-tls-")
    with DovecotSandbox(folder, USER, PASSWORD, tls=True) as box:
        box.add_message(b"From: bench@example.org\r\nSubject: one\r\n\r\nbody\r\n")
        try:
            port, _, _ = box.start()
        except SandboxError as e:
            sys.exit(str(e))  # the folder stays, with the log and configuration to look at
        context = ssl.create_default_context(cafile=os.path.join(folder, "cert.pem"))
        tail = [USER, PASSWORD, "stat"]
        cases = {
            "vorla-mailtool POP3": lambda: run_tool(
                [args.tool, "--tls-mode", "off", "pop3", "127.0.0.1", str(port)] + tail),
            "vorla-mailtool POP3S": lambda: run_tool(
                [args.tool, "--tls-mode", "tls", "--fingerprint", box.fingerprint, "pop3",
                 "127.0.0.1", str(box.pops_port)] + tail),
            "poplib POP3": lambda: poplib_plain(port),
            "poplib POP3_SSL": lambda: poplib_tls(box.pops_port, context),
        }
        try:
            for case in cases.values():
                case()  # warm-up: the first start pays for the page cache and Dovecot's login
            times = {name: [] for name in cases}
            for _ in range(args.runs):
                for name, case in cases.items():
                    times[name].append(case() * 1000.0)
        finally:
            box.stop()
            shutil.rmtree(folder, ignore_errors=True)
    median = {name: statistics.median(values) for name, values in times.items()}
    print("one account check, medians of %d interleaved rounds, ms" % args.runs)
    for name, value in median.items():
        print("%-22s %8.2f" % (name, value))
    print("TLS costs vorla-mailtool %.2f ms (%.2f x plain), poplib %.2f ms (%.2f x plain)" % (
        median["vorla-mailtool POP3S"] - median["vorla-mailtool POP3"],
        median["vorla-mailtool POP3S"] / median["vorla-mailtool POP3"],
        median["poplib POP3_SSL"] - median["poplib POP3"],
        median["poplib POP3_SSL"] / median["poplib POP3"]))


if __name__ == "__main__":
    main()
