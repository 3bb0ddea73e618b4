"""The demo: a private Dovecot on 127.0.0.1 with sample mail, and vorla checking it.

Usage: demo.py PROGRAM_FOLDER   (the build's program folder, holding vorla and the skins)
Everything lives in a temporary folder that is removed at the end.
"""

import os
import pwd
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

USER = "demo"
PASSWORD = "vorla"
MESSAGES = [
    ("Ada <ada@example.org>", "Welcome to Vorla", "This mailbox belongs to the demo.\r\n"),
    ("Bob <bob@example.org>", "Lunch on Friday?", "Shall we meet at noon?\r\n"),
    ("Newsletter <news@example.org>", "Skins of the month", "Two new skins are out.\r\n"),
]

def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]

def scramble(text):
    """The password form of Accounts.ini: each code c becomes (2c - 8) mod 256."""
    return bytes((2 * b - 8) % 256 for b in text.encode("latin-1"))

def ini(lines):
    return ("\r\n".join(lines) + "\r\n").encode("latin-1")

def write_mailbox(home, uid, gid):
    new = os.path.join(home, "Maildir", "new")
    for sub in ("new", "cur", "tmp"):
        os.makedirs(os.path.join(home, "Maildir", sub))
    for i, (sender, subject, body) in enumerate(MESSAGES, 1):
        text = (f"From: {sender}\r\nTo: {USER}@localhost\r\nSubject: {subject}\r\n"
                f"Date: Mon, 1 Jan 2024 09:0{i}:00 +0000\r\nMessage-ID: <demo{i}@localhost>\r\n"
                f"\r\n{body}")
        with open(os.path.join(new, f"{1700000000 + i}.demo{i}"), "w", newline="") as f:
            f.write(text)
    for root, dirs, files in os.walk(home):
        for name in dirs + files:
            os.chown(os.path.join(root, name), uid, gid)
    os.chown(home, uid, gid)

def write_dovecot(folder, base_dir, port, uid, gid):
    home = os.path.join(folder, "home")
    os.makedirs(home)
    write_mailbox(home, uid, gid)
    with open(os.path.join(folder, "users"), "w") as f:
        f.write(f"{USER}:{{PLAIN}}{PASSWORD}:{uid}:{gid}::{home}::\n")
    # Run as a user, the login and internal processes run as that user too.
    users = ""
    if os.getuid() != 0:

        me = pwd.getpwuid(os.getuid()).pw_name
        users = f"default_login_user = {me}\ndefault_internal_user = {me}\n"
    conf = os.path.join(folder, "dovecot.conf")
    with open(conf, "w") as f:
        f.write(f"""protocols = pop3
listen = 127.0.0.1
base_dir = {base_dir}
state_dir = {folder}/state
log_path = {folder}/dovecot.log
{users}disable_plaintext_auth = no
auth_mechanisms = plain login
auth_failure_delay = 0
ssl = no
mail_location = maildir:~/Maildir
passdb {{
  driver = passwd-file
  args = {folder}/users
}}
userdb {{
  driver = passwd-file
  args = {folder}/users
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
""")
    os.makedirs(os.path.join(folder, "state"))
    return conf

def write_settings(home, program, port):
    skins = os.path.join(program, "skins")
    with open(os.path.join(home, "Vorla.ini"), "wb") as f:
        f.write(ini([f"current_skin = {skins}/default/", "autocheck =1", "autoconnect =1",
                     "minutes = 1", "icon_tray =1", f"skin_dir = {skins}", "speed = 1",
                     "playsnd =0", "run_my_client =0", "reset =0"]))
    with open(os.path.join(home, "Accounts.ini"), "wb") as f:
        f.write(ini(["", "[Account1]", "acc_name = Demo", "host_name = 127.0.0.1",
                     f"user_name = {USER}"]) + b"password = " + scramble(PASSWORD) + b"\r\n" +
                ini([f"port_number = {port}", "inactive = 0"]))
    os.chmod(os.path.join(home, "Accounts.ini"), 0o600)
    # The settings folder stands in for the program folder, where "&Help" looks.
    help_page = os.path.join(program, "vrhelp.html")
    if os.path.exists(help_page):
        shutil.copy(help_page, home)

def wait_for_port(port, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=0.5):
                return True
        except OSError:
            time.sleep(0.1)
    return False

def main(argv):
    if len(argv) != 1:
        print(__doc__, file=sys.stderr)
        return 64
    program = os.path.abspath(argv[0])
    dovecot = shutil.which("dovecot")
    if dovecot is None:
        print("dovecot is not installed (package dovecot-pop3d)", file=sys.stderr)
        return 1
    # Dovecot refuses mail access as root: the mailbox then belongs to nobody.
    uid, gid = (65534, 65534) if os.getuid() == 0 else (os.getuid(), os.getgid())
    folder = tempfile.mkdtemp(prefix="vorla-demo-")
    os.chmod(folder, 0o755)
    # Its unix sockets fail past 108 bytes of path: a short folder of their own.
    base_dir = tempfile.mkdtemp(prefix="vd-", dir="/tmp")
    server = None
    try:
        port = free_port()
        conf = write_dovecot(os.path.join(folder, "dovecot"), base_dir, port, uid, gid)
        server = subprocess.Popen([dovecot, "-F", "-c", conf])
        if not wait_for_port(port, 10):
            print(f"Dovecot did not start; see {folder}/dovecot/dovecot.log", file=sys.stderr)
            return 1
        home = os.path.join(folder, "settings")
        os.makedirs(home)
        write_settings(home, program, port)
        print(f"Dovecot on 127.0.0.1:{port} (user {USER}, {len(MESSAGES)} messages); "
              f"settings in {home}")
        env = dict(os.environ, VORLA_HOME=home)
        return subprocess.call([os.path.join(program, "vorla")], env=env)
    finally:
        if server is not None:
            server.send_signal(signal.SIGTERM)
            try:
                server.wait(timeout=10)
            except subprocess.TimeoutExpired:
                server.kill()
                server.wait()
        shutil.rmtree(folder, ignore_errors=True)
        shutil.rmtree(base_dir, ignore_errors=True)

if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
