#!/usr/bin/python3
"""Retrieves and parses a 10 MB message from a private Dovecot on 127.0.0.1, once with
vorla-mailtool (TQelPOP + TQelMsg) and once with Python's poplib and email parser, and prints
both times and their ratio (best of --runs). Run as root or as a user Dovecot may serve.

usage: retrieve_10mb.py [--tool PATH] [--runs N]
"""
import argparse
import base64
import email
import os
import poplib
import random
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

NOBODY = 65534


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


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


def start_dovecot(folder, port):
    base_dir = tempfile.mkdtemp(prefix="vdb", dir="/tmp")
    home = os.path.join(folder, "home")
    for sub in ("Maildir/new", "Maildir/cur", "Maildir/tmp"):
        os.makedirs(os.path.join(home, sub))
    os.makedirs(os.path.join(folder, "state"))
    os.chmod(folder, 0o755)
    root = os.geteuid() == 0
    uid, gid = (NOBODY, NOBODY) if root else (os.geteuid(), os.getegid())
    with open(os.path.join(folder, "passwd"), "w") as f:
        f.write("bench:{PLAIN}bench:%d:%d::%s::\n" % (uid, gid, home))
    conf = f"""protocols = pop3
listen = 127.0.0.1
base_dir = {base_dir}
state_dir = {folder}/state
log_path = {folder}/dovecot.log
ssl = no
disable_plaintext_auth = no
auth_mechanisms = plain login
auth_failure_delay = 0
mail_location = maildir:~/Maildir
passdb {{
  driver = passwd-file
  args = {folder}/passwd
}}
userdb {{
  driver = passwd-file
  args = {folder}/passwd
}}
service anvil {{
  chroot =
}}
service pop3-login {{
  chroot =
  inet_listener pop3 {{
    address = 127.0.0.1
    port = {port}
  }}
}}
service imap-login {{
  inet_listener imap {{
    port = 0
  }}
}}
"""
    path = os.path.join(folder, "dovecot.conf")
    with open(path, "w") as f:
        f.write(conf)
    proc = subprocess.Popen(["/usr/sbin/dovecot", "-F", "-c", path],
                            preexec_fn=lambda: __import__("ctypes").CDLL("libc.so.6").prctl(1, signal.SIGTERM))
    deadline = time.time() + 15
    while time.time() < deadline:
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return proc, base_dir, uid, gid, home
        except OSError:
            time.sleep(0.05)
    proc.terminate()
    sys.exit("dovecot did not start; see " + os.path.join(folder, "dovecot.log"))


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
    ap.add_argument("--tool", default=default_tool)
    ap.add_argument("--runs", type=int, default=3)
    args = ap.parse_args()
    if not os.access(args.tool, os.X_OK):
        sys.exit("vorla-mailtool not found: " + args.tool)

    folder = tempfile.mkdtemp(prefix="vorla-bench-pop3-")
    port = free_port()
    proc, base_dir, uid, gid, home = start_dovecot(folder, port)
    try:
        raw, data = big_message(10 * 1024 * 1024)
        msg_path = os.path.join(home, "Maildir", "new", "1700000001.M1P1.bench")
        with open(msg_path, "wb") as f:
            f.write(raw)
        for dirpath, _, files in os.walk(home):
            os.chown(dirpath, uid, gid)
            for name in files:
                os.chown(os.path.join(dirpath, name), uid, gid)
        tool = min(run_tool(args.tool, port) for _ in range(args.runs))
        python = min(run_python(port, data) for _ in range(args.runs))
        print("message: %d bytes" % len(raw))
        print("vorla-mailtool retr + parse: %.3f s" % tool)
        print("poplib + email parse:        %.3f s" % python)
        print("ratio (vorla / python):      %.2f" % (tool / python))
    finally:
        proc.terminate()
        proc.wait(timeout=15)
        shutil.rmtree(folder, ignore_errors=True)
        shutil.rmtree(base_dir, ignore_errors=True)


if __name__ == "__main__":
    main()
