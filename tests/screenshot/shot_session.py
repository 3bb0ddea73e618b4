"""What the tests that drive vorla on a screen of its own share: a private folder, the processes
they start (ended in reverse order on the way out), Xvfb on a free display, vorla itself and
the grab-and-check loop on the screen."""

import configparser
import os
import shutil
import subprocess
import sys
import tempfile
import time


def free_display():
    for n in range(90, 141):
        if not os.path.exists(f"/tmp/.X{n}-lock") and not os.path.exists(f"/tmp/.X11-unix/X{n}"):
            return n
    raise RuntimeError("no free X display number")


def wait_for(condition, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if condition():
            return True
        time.sleep(0.2)
    return False


def stop(processes):
    """Ends the processes, the last started first."""
    for process in reversed(processes):
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def visible_window(env, title):
    """The id of a visible window with exactly this title, or None."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"], env=env,
                           capture_output=True, text=True)
    return found.stdout.split()[0] if found.returncode == 0 and found.stdout.split() else None


def skin_position(program, skin, section):
    """The position of a section of the skin's skin.ini, relative to the main window."""
    parser = configparser.ConfigParser(strict=False, interpolation=None)
    with open(os.path.join(program, "skins", skin, "skin.ini"), encoding="latin-1") as f:
        parser.read_string(f.read())
    x, y = (int(v) for v in parser[section]["position"].split(","))
    return x, y


class ShotSession:
    """A private folder and the processes started in it; both go when the with block ends.
    A shared folder can be read by others (Dovecot's own users)."""

    def __init__(self, prefix, shared=False):
        self.folder = tempfile.mkdtemp(prefix=prefix)
        if shared:
            os.chmod(self.folder, 0o755)
        self.processes = []

    def __enter__(self):
        return self

    def __exit__(self, *_):
        stop(self.processes)
        shutil.rmtree(self.folder, ignore_errors=True)

    def start(self, args, **options):
        process = subprocess.Popen(args, **options)
        self.processes.append(process)
        return process

    def start_xvfb(self, size, *options):
        """Xvfb on a free display and a private runtime folder; the environment for programs
        on that display, or None (said on stderr) when Xvfb did not start."""
        display = free_display()
        self.start(["Xvfb", f":{display}", "-noreset", *options, "-screen", "0", f"{size}x24",
                    "-nolisten", "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_for(lambda: os.path.exists(f"/tmp/.X11-unix/X{display}"), 10):
            print("Xvfb did not start", file=sys.stderr)
            return None
        runtime = os.path.join(self.folder, "runtime")
        os.mkdir(runtime, 0o700)
        return dict(os.environ, DISPLAY=f":{display}", XDG_RUNTIME_DIR=runtime)

    def settings_home(self):
        """The empty settings folder that vorla is given as VORLA_HOME."""
        home = os.path.join(self.folder, "settings")
        os.makedirs(home)
        return home

    def start_vorla(self, program, env, home):
        """vorla on the settings of home, its output in the folder's vorla.log."""
        log = open(os.path.join(self.folder, "vorla.log"), "wb")
        return self.start([os.path.join(program, "vorla")], env=dict(env, VORLA_HOME=home),
                          stdout=log, stderr=subprocess.STDOUT)


def grab_until_checked(vorla, env, tools, shot, check, failure="", echo=True):
    """Grabs the screen into shot and runs the check command on it until it passes or 15 s are
    up. The check's last output goes to stderr after the failure text when it did not pass, and
    to stdout when it passed and echo is set. Raises when vorla ends meanwhile."""
    last = [""]

    def checked():
        if vorla.poll() is not None:
            raise RuntimeError("vorla ended early")
        grabbed = subprocess.run([os.path.join(tools, "vorla-grab-screen"), shot], env=env,
                                 capture_output=True)
        if grabbed.returncode != 0:
            return False
        result = subprocess.run(check, capture_output=True, text=True)
        last[0] = result.stdout + result.stderr
        return result.returncode == 0

    if not wait_for(checked, 15):
        print(failure + last[0], file=sys.stderr, end="\n" if failure else "")
        return False
    if echo:
        print(last[0], end="")
    return True


def passed(shot=None):
    """The closing lines of a test that passed; its exit code."""
    if shot is not None:
        print(f"screenshot: {shot}")
    print("1 passed, 0 failed")
    return 0
