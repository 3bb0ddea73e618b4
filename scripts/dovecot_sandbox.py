"""A private Dovecot POP3 server on 127.0.0.1 with one passwd-file user and a Maildir.

    with DovecotSandbox(folder, "demo", "vorla") as box:
        box.add_message(raw_bytes)
        port, user, password = box.start()

The configuration, the mailbox and the log live in FOLDER, which belongs to the caller; only the
short base_dir under /tmp is the sandbox's own and goes with stop(). Run as root, every folder
above FOLDER must be searchable by others, since the mailbox then belongs to uid 65534.

With tls=True, start() makes a self-signed certificate for localhost and 127.0.0.1 in FOLDER:
the POP3 port then offers STLS, box.pops_port speaks POP3S and box.fingerprint holds the
certificate's SHA-256 fingerprint as "openssl x509 -fingerprint -sha256" prints it.
"""

import collections
import ctypes
import grp
import os
import pwd
import shutil
import signal
import socket
import subprocess
import tempfile
import time

NOBODY = 65534
PR_SET_PDEATHSIG = 1
STOP_SECONDS = 10

Account = collections.namedtuple("Account", "port user password")


class SandboxError(Exception):
    pass


def find_dovecot():
    """The dovecot binary, or None; /usr/sbin is often missing from a user's PATH."""
    found = shutil.which("dovecot")
    if found is None and os.access("/usr/sbin/dovecot", os.X_OK):
        found = "/usr/sbin/dovecot"
    return found


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def _parent_death_guard():
    """A function for preexec_fn that has the child receive SIGTERM when this process dies, so
    that a crashed caller leaves no Dovecot behind; None where prctl is not available."""
    try:
        prctl = ctypes.CDLL(None, use_errno=True).prctl
    except (OSError, AttributeError):
        return None  # not Linux: stop() remains the only way to end it
    parent = os.getpid()

    # The signal follows the thread that started the child: call start() from a lasting thread.
    def guard():
        prctl(PR_SET_PDEATHSIG, signal.SIGTERM, 0, 0, 0)
        if os.getppid() != parent:
            os.kill(os.getpid(), signal.SIGTERM)  # the parent died before prctl took hold

    return guard


class DovecotSandbox:
    def __init__(self, folder, user="vorla", password="vorla", tls=False, imap=False):
        self.folder = os.path.abspath(folder)
        self.tls = tls
        # With imap, the same mailbox is served over IMAP (with IDLE) on imap_port as well.
        self.imap = imap
        self.imap_port = None
        self.pops_port = None
        self.fingerprint = None
        self.user = user
        self.password = password
        self.home = os.path.join(self.folder, "home")
        self.log_path = os.path.join(self.folder, "dovecot.log")
        # Dovecot refuses mail access as root: the mailbox then belongs to nobody.
        if os.geteuid() == 0:
            self.uid, self.gid = NOBODY, NOBODY
        else:
            self.uid, self.gid = os.geteuid(), os.getegid()
        self.port = None
        self._process = None
        self._base_dir = None
        self._messages = 0
        for sub in ("new", "cur", "tmp"):
            os.makedirs(os.path.join(self.home, "Maildir", sub), exist_ok=True)
        os.makedirs(os.path.join(self.folder, "state"), exist_ok=True)
        os.chmod(self.folder, 0o755)
        self._chown_tree(self.home)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def add_message(self, raw):
        """Adds RAW (bytes, CRLF lines) as the next message; before or after start()."""
        self._messages += 1
        name = f"{1700000000 + self._messages}.M{self._messages}P{os.getpid()}.sandbox"
        maildir = os.path.join(self.home, "Maildir")
        staged = os.path.join(maildir, "tmp", name)
        with open(staged, "wb") as f:
            f.write(raw)
        self._chown(staged)
        # Through tmp/ so that a running Dovecot never sees half a message.
        os.rename(staged, os.path.join(maildir, "new", name))

    def start(self, timeout=15):
        """Starts Dovecot and waits for its port; returns (port, user, password)."""
        if self._process is not None:
            raise SandboxError("Dovecot is already running")
        dovecot = find_dovecot()
        if dovecot is None:
            raise SandboxError("dovecot is not installed (package dovecot-pop3d)")
        # Its unix sockets fail past 108 bytes of path: a short folder of their own.
        self._base_dir = tempfile.mkdtemp(prefix="vd-", dir="/tmp")
        os.chmod(self._base_dir, 0o755)  # what Dovecot would set itself, with a warning
        self.port = free_port()
        if self.imap:
            self.imap_port = free_port()
        if self.tls:
            self._make_certificate()
            self.pops_port = free_port()
        conf = self._write_config()
        self._process = subprocess.Popen([dovecot, "-F", "-c", conf],
                                         preexec_fn=_parent_death_guard())
        if not self._wait_for_port(timeout):
            self.stop()
            raise SandboxError("Dovecot did not start; see " + self.log_path)
        return Account(self.port, self.user, self.password)

    def stop(self):
        """Stops Dovecot by its PID and waits for it (about a second); safe to call twice."""
        process, self._process = self._process, None
        if process is not None and process.poll() is None:
            process.send_signal(signal.SIGTERM)
            try:
                process.wait(timeout=STOP_SECONDS)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        if self._base_dir is not None:
            shutil.rmtree(self._base_dir, ignore_errors=True)
            self._base_dir = None

    def _wait_for_port(self, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if self._process.poll() is not None:
                return False
            try:
                with socket.create_connection(("127.0.0.1", self.port), timeout=0.5):
                    return True
            except OSError:
                time.sleep(0.05)
        return False

    def _make_certificate(self):
        cert = os.path.join(self.folder, "cert.pem")
        key = os.path.join(self.folder, "key.pem")
        try:
            subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
                            "ec_paramgen_curve:prime256v1", "-nodes", "-days", "2", "-subj",
                            "/CN=localhost", "-addext",
                            "subjectAltName=DNS:localhost,IP:127.0.0.1", "-keyout", key,
                            "-out", cert], check=True, capture_output=True)
            printed = subprocess.run(["openssl", "x509", "-noout", "-fingerprint", "-sha256",
                                      "-in", cert], check=True, capture_output=True, text=True)
        except (OSError, subprocess.CalledProcessError) as e:
            raise SandboxError("openssl could not make a certificate: " + str(e))
        self.fingerprint = printed.stdout.strip().split("=", 1)[1]

    def _ssl_lines(self):
        if not self.tls:
            return "ssl = no\n", ""
        settings = (f"ssl = yes\nssl_cert = <{self.folder}/cert.pem\n"
                    f"ssl_key = <{self.folder}/key.pem\n"
                    "ssl_dh = </usr/share/dovecot/dh.pem\nssl_min_protocol = TLSv1.2\n")
        listener = (f"  inet_listener pop3s {{\n    address = 127.0.0.1\n"
                    f"    port = {self.pops_port}\n    ssl = yes\n  }}\n")
        return settings, listener

    def _write_config(self):
        users = os.path.join(self.folder, "users")
        with open(users, "w") as f:
            f.write(f"{self.user}:{{PLAIN}}{self.password}:{self.uid}:{self.gid}::{self.home}::\n")
        # Run as a user, the login and internal processes run as that user too.
        run_as = ""
        if os.geteuid() != 0:
            me = pwd.getpwuid(os.geteuid()).pw_name
            group = grp.getgrgid(os.getegid()).gr_name
            run_as = (f"default_login_user = {me}\ndefault_internal_user = {me}\n"
                      f"default_internal_group = {group}\n")
        ssl, pops_listener = self._ssl_lines()
        protocols, imap_service = "pop3", ""
        if self.imap:
            protocols = "pop3 imap"
            imap_service = (f"service imap-login {{\n  chroot =\n  inet_listener imap {{\n"
                            f"    address = 127.0.0.1\n    port = {self.imap_port}\n  }}\n"
                            "  inet_listener imaps {\n    port = 0\n  }\n}\n")
        conf = os.path.join(self.folder, "dovecot.conf")
        with open(conf, "w") as f:
            f.write(f"""protocols = {protocols}
listen = 127.0.0.1
base_dir = {self._base_dir}
state_dir = {self.folder}/state
log_path = {self.log_path}
{run_as}disable_plaintext_auth = no
auth_mechanisms = plain login
auth_failure_delay = 0
{ssl}mail_location = maildir:~/Maildir
passdb {{
  driver = passwd-file
  args = {users}
}}
userdb {{
  driver = passwd-file
  args = {users}
}}
service anvil {{
  chroot =
}}
service pop3-login {{
  chroot =
  inet_listener pop3 {{
    address = 127.0.0.1
    port = {self.port}
  }}
{pops_listener}}}
{imap_service}""")
        return conf

    def _chown(self, path):
        if os.geteuid() == 0:
            os.chown(path, self.uid, self.gid)

    def _chown_tree(self, top):
        self._chown(top)
        for root, dirs, files in os.walk(top):
            for name in dirs + files:
                self._chown(os.path.join(root, name))
