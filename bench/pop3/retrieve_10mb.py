#!/usr/bin/python3
"""Retrieves and parses a 10 MB message from a private Dovecot on 127.0.0.1, once with
vorla-mailtool (TQelPOP + TQelMsg) and once with each anchor, interleaved, and prints the
medians of --runs and the ratios. The anchors: Python's poplib and email parser (retrieve,
parse, decode); mpop (retrieve and store the message in an mbox, no parsing; Debian package
"mpop", skipped with a note when it is not installed); and raw_pop3, a small C client that
receives 64 KB at a time and does nothing else (built by the bench CMake, else compiled here
with cc). More than one --tool (an older build, say) are timed in the same rounds. Run as root
or as a user Dovecot may serve.

usage: retrieve_10mb.py [--tool PATH ...] [--raw PATH] [--runs N]
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

MPOPRC = """defaults
tls off
auth user
account bench
host 127.0.0.1
port %d
user bench
password bench
delivery mbox %s
keep on
only_new off
uidls_file %s
"""

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


def peak_rss(tool, port, folder):
    """Peak resident size of one untimed retrieval, measured by GNU time."""
    report = os.path.join(folder, "peak")
    subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report, tool, "pop3", "127.0.0.1", str(port),
                    "bench", "bench", "retr", "1"], check=True, capture_output=True)
    with open(report) as f:
        return int(f.read().split()[-1]) * 1024


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


def run_mpop(folder, port):
    config = os.path.join(folder, "mpoprc")
    mbox = os.path.join(folder, "mbox")
    uidls = os.path.join(folder, "uidls")
    for path in (mbox, uidls):
        if os.path.exists(path):
            os.remove(path)
    with open(config, "w") as f:
        f.write(MPOPRC % (port, mbox, uidls))
    os.chmod(config, 0o600)
    start = time.perf_counter()
    subprocess.run(["mpop", "-C", config, "-q", "bench"], check=True, capture_output=True)
    elapsed = time.perf_counter() - start
    if os.path.getsize(mbox) < 10 * 1024 * 1024:
        sys.exit("mpop did not store the message")
    return elapsed


def run_raw(raw_client, folder, port, size):
    out = os.path.join(folder, "raw.out")
    with open(out, "wb") as f:
        start = time.perf_counter()
        subprocess.run([raw_client, str(port), "bench", "bench", "1"], check=True, stdout=f)
        elapsed = time.perf_counter() - start
    if os.path.getsize(out) < size:
        sys.exit("raw_pop3 did not receive the message")
    return elapsed


def raw_client_path(here, build_folder):
    built = os.path.join(here, "..", "..", "build", "bench", "pop3", "raw_pop3")
    if os.access(built, os.X_OK):
        return built
    compiled = os.path.join(build_folder, "raw_pop3")
    subprocess.run(["cc", "-O2", "-D_GNU_SOURCE", "-o", compiled,
                    os.path.join(here, "raw_pop3.c")], check=True)
    return compiled


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_tool = os.path.join(here, "..", "..", "build", "tools", "vorla-mailtool", "vorla-mailtool")
    ap = argparse.ArgumentParser()
    ap.add_argument("--tool", action="append")
    ap.add_argument("--raw", help="the raw C client (default: the bench build, else cc)")
    ap.add_argument("--runs", type=int, default=11)
    args = ap.parse_args()
    tools = args.tool or [default_tool]
    for tool in tools:
        if not os.access(tool, os.X_OK):
            sys.exit("vorla-mailtool not found: " + tool)
    has_mpop = shutil.which("mpop") is not None
    if not has_mpop:
        print("note: mpop is not installed (apt-get install mpop); its column is skipped")

    folder = tempfile.mkdtemp(prefix="vorla-bench-pop3-")
    work = tempfile.mkdtemp(prefix="vorla-bench-pop3-work-")
    raw_client = args.raw or raw_client_path(here, work)
    with DovecotSandbox(folder, "bench", "bench") as box:
        raw, data = big_message(10 * 1024 * 1024)
        box.add_message(raw)
        try:
            port, _, _ = box.start()
        except SandboxError as e:
            sys.exit(str(e))  # the folder stays, with the log and configuration to look at
        try:
            anchors = ["python", "raw"] + (["mpop"] if has_mpop else [])
            times = {name: [] for name in tools + anchors}
            for _ in range(args.runs):
                for tool in tools:
                    times[tool].append(run_tool(tool, port))
                times["python"].append(run_python(port, data))
                times["raw"].append(run_raw(raw_client, work, port, len(raw)))
                if has_mpop:
                    times["mpop"].append(run_mpop(work, port))
            peaks = {tool: peak_rss(tool, port, work) for tool in tools}
        finally:
            box.stop()
            shutil.rmtree(folder, ignore_errors=True)
            shutil.rmtree(work, ignore_errors=True)
    median = {name: statistics.median(values) for name, values in times.items()}
    print("message: %d bytes, medians of %d interleaved runs" % (len(raw), args.runs))
    print("poplib + email parse: %.3f s" % median["python"])
    if has_mpop:
        print("mpop (stores only): %.3f s" % median["mpop"])
    print("raw C client, 64 KB reads: %.3f s" % median["raw"])
    for tool in tools:
        line = "%s retr 1: %.3f s, %.2f times faster than poplib + email" % (
            tool, median[tool], median["python"] / median[tool])
        if has_mpop:
            line += ", %.2f times faster than mpop" % (median["mpop"] / median[tool])
        line += ", %.2f times the raw client" % (median[tool] / median["raw"])
        print(line)
        print("  peak RSS %.1f MB = %.2f x message" % (peaks[tool] / 1e6, peaks[tool] / len(raw)))


if __name__ == "__main__":
    main()
