"""The demo: a private Dovecot on 127.0.0.1 with sample mail, and vorla checking it twice: a
POP3 account on the timer, and an IMAP account on the same mailbox told of new mail at once
(IDLE). A message is delivered a few seconds after the start to show it. A local SMTP sink takes
the replies sent from the message window and prints them here.

Usage: demo.py PROGRAM_FOLDER   (the build's program folder, holding vorla and the skins)
Everything lives in a temporary folder that is removed at the end.
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading

from dovecot_sandbox import DovecotSandbox, SandboxError, find_dovecot

USER = "demo"
PASSWORD = "vorla"
MESSAGES = [
    ("Ada <ada@example.org>", "Welcome to Vorla", "This mailbox belongs to the demo.\r\n"),
    ("Bob <bob@example.org>", "Lunch on Friday?", "Shall we meet at noon?\r\n"),
    ("Newsletter <news@example.org>", "Skins of the month", "Two new skins are out.\r\n"),
]
PUSHED = ("Carol <carol@example.org>", "Pushed to you", "The IMAP account heard of me at once.\r\n")
# Seconds after vorla starts: time for its first checks, so the delivery stands out.
PUSH_DELAY = 8

def scramble(text):
    """The password form of Accounts.ini: each code c becomes (2c - 8) mod 256."""
    return bytes((2 * b - 8) % 256 for b in text.encode("latin-1"))

def ini(lines):
    return ("\r\n".join(lines) + "\r\n").encode("latin-1")

def sample_message(number, sender, subject, body):
    return (f"From: {sender}\r\nTo: {USER}@localhost\r\nSubject: {subject}\r\n"
            f"Date: Mon, 1 Jan 2024 09:0{number}:00 +0000\r\nMessage-ID: <demo{number}@localhost>\r\n"
            f"\r\n{body}").encode()

SINK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "integration",
                    "harness", "smtp_sink.py")

def start_smtp_sink():
    """Starts the sink (Debian's aiosmtpd) on 127.0.0.1; returns the process and its port. What it prints is copied
    to this terminal."""
    sink = subprocess.Popen(["/usr/bin/python3", SINK, "--print"], stdout=subprocess.PIPE, text=True)
    first = sink.stdout.readline().split()
    if len(first) != 2 or first[0] != "port":
        sink.kill()
        sink.wait()
        raise SandboxError("the SMTP sink did not start (package python3-aiosmtpd)")

    def copy():
        for line in sink.stdout:
            print(line, end="", flush=True)

    threading.Thread(target=copy, daemon=True).start()
    return sink, int(first[1])

def write_settings(home, program, port, imap_port, smtp_port):
    skins = os.path.join(program, "skins")
    with open(os.path.join(home, "Vorla.ini"), "wb") as f:
        f.write(ini([f"current_skin = {skins}/default/", "autocheck =1", "autoconnect =1",
                     "minutes = 1", "icon_tray =1", f"skin_dir = {skins}", "speed = 1",
                     "playsnd =0", "run_my_client =0", "reset =0", "vrmail =1", "sendorg =1",
                     "smtphost = 127.0.0.1", f"smtpport = {smtp_port}",
                     "announce_new =1", "notify =1"]))
    with open(os.path.join(home, "Accounts.ini"), "wb") as f:
        f.write(ini(["", "[Account1]", "acc_name = Demo", "host_name = 127.0.0.1",
                     f"user_name = {USER}"]) + b"password = " + scramble(PASSWORD) + b"\r\n" +
                ini([f"port_number = {port}", "inactive = 0", "auth_name = Demo User",
                     f"auth_addr = {USER}@localhost"]) +
                ini(["", "[Account2]", "acc_name = Demo IMAP", "host_name = 127.0.0.1",
                     f"user_name = {USER}"]) + b"password = " + scramble(PASSWORD) + b"\r\n" +
                ini([f"port_number = {imap_port}", "inactive = 0", "auth_name = Demo User",
                     f"auth_addr = {USER}@localhost", "protocol = imap", "folder = INBOX",
                     "imap_count = all"]))
    os.chmod(os.path.join(home, "Accounts.ini"), 0o600)

def push_message(box):
    box.add_message(sample_message(len(MESSAGES) + 1, *PUSHED))
    print(f"Delivered \"{PUSHED[1]}\": the IMAP account shows it at once (push), "
          "the POP3 account at its next check (every minute).", flush=True)

def main(argv):
    if len(argv) != 1:
        print(__doc__, file=sys.stderr)
        return 64
    program = os.path.abspath(argv[0])
    if find_dovecot() is None:
        print("dovecot is not installed (package dovecot-pop3d)", file=sys.stderr)
        return 1
    # A terminated or hung-up demo still ends vorla, stops Dovecot and removes its folder.
    for number in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(number, lambda signum, _frame: sys.exit(128 + signum))
    folder = tempfile.mkdtemp(prefix="vorla-demo-")
    os.chmod(folder, 0o755)
    keep = False
    try:
        with DovecotSandbox(os.path.join(folder, "dovecot"), USER, PASSWORD, imap=True) as box:
            for number, message in enumerate(MESSAGES, 1):
                box.add_message(sample_message(number, *message))
            try:
                port, _, _ = box.start(timeout=10)
            except SandboxError as e:
                print(e, file=sys.stderr)
                keep = True  # for the log and configuration the message points at
                return 1
            try:
                sink, smtp_port = start_smtp_sink()
            except SandboxError as e:
                print(e, file=sys.stderr)
                return 1
            deliver = threading.Timer(PUSH_DELAY, push_message, (box,))
            deliver.daemon = True
            try:
                home = os.path.join(folder, "settings")
                os.makedirs(home)
                write_settings(home, program, port, box.imap_port, smtp_port)
                print(f"Dovecot on 127.0.0.1: POP3 port {port}, IMAP port {box.imap_port} "
                      f"(user {USER}, {len(MESSAGES)} messages); "
                      f"SMTP sink on 127.0.0.1:{smtp_port}, replies are printed here; "
                      f"settings in {home}")
                deliver.start()
                env = dict(os.environ, VORLA_HOME=home)
                return subprocess.call([os.path.join(program, "vorla")], env=env)
            finally:
                deliver.cancel()
                sink.terminate()
                sink.wait()
    finally:
        if not keep:
            shutil.rmtree(folder, ignore_errors=True)

if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
