"""The message window's screenshot test: vorla under its own Xvfb checks a private Dovecot
holding one message, the mail flag is double-clicked, and the screen is grabbed and checked:
the message window is cut to its outline, shows its background and has text in its memo.

Usage: msgwindow_shot.py BUILD_DIR SKIN [CROP.png]
The screenshot stays in BUILD_DIR/tests/screenshot/messages-SKIN.png.
"""

import configparser
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from demo import ini, scramble  # noqa: E402  (the settings files as the demo writes them)
from dovecot_sandbox import DovecotSandbox, find_dovecot  # noqa: E402

USER = "shot"
PASSWORD = "vorla"
MAIN_AT = (40, 30)
MESSAGES_AT = (40, 150)
MESSAGE = (b"From: Ada <ada@example.org>\r\nTo: shot@localhost\r\nSubject: Skins of the month\r\n"
           b"Date: Mon, 1 Jan 2024 09:00:00 +0000\r\n\r\n"
           b"Two new skins are out.\r\nBoth draw the message window of their own.\r\n")

def write_settings(home, program, skin, port):
    skins = os.path.join(program, "skins")
    with open(os.path.join(home, "Vorla.ini"), "wb") as f:
        f.write(ini([f"current_skin = {skins}/{skin}/", f"skin_dir = {skins}",
                     f"posX = {MAIN_AT[0]}", f"posY = {MAIN_AT[1]}", "speed = 0",
                     "autoconnect =1", "autocheck =1", "minutes = 30", "icon_tray =0",
                     "playsnd =0", "run_my_client =0", "vrmail =1",
                     f"memo_posx = {MESSAGES_AT[0]}", f"memo_posy = {MESSAGES_AT[1]}"]))
    with open(os.path.join(home, "Accounts.ini"), "wb") as f:
        f.write(ini(["", "[Account1]", "acc_name = Shot", "host_name = 127.0.0.1",
                     f"user_name = {USER}"]) + b"password = " + scramble(PASSWORD) + b"\r\n" +
                ini([f"port_number = {port}", "inactive = 0"]))

def free_display():
    for n in range(90, 141):
        if not os.path.exists(f"/tmp/.X{n}-lock") and not os.path.exists(f"/tmp/.X11-unix/X{n}"):
            return n
    raise RuntimeError("no free X display number")

def flag_centre(program, skin):
    """Where the mail flag is on the screen, from the skin's position and picture size."""
    parser = configparser.ConfigParser(strict=False, interpolation=None)
    with open(os.path.join(program, "skins", skin, "skin.ini"), encoding="latin-1") as f:
        parser.read_string(f.read())
    x, y = (int(v) for v in parser["youhavemail"]["position"].split(","))
    return MAIN_AT[0] + x + 6, MAIN_AT[1] + y + 6

def wait_for(condition, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if condition():
            return True
        time.sleep(0.2)
    return False

def main(argv):
    if len(argv) not in (2, 3):
        print(__doc__, file=sys.stderr)
        return 64
    build = os.path.abspath(argv[0])
    skin = argv[1]
    crop = argv[2:]
    program = os.path.join(build, "program")
    tools = os.path.join(build, "tests", "screenshot")
    if find_dovecot() is None:
        print("dovecot is not installed (package dovecot-pop3d)", file=sys.stderr)
        return 1
    shot = os.path.join(tools, f"messages-{skin}.png")
    folder = tempfile.mkdtemp(prefix="vorla-shot-")
    os.chmod(folder, 0o755)
    processes = []
    try:
        display = free_display()
        processes.append(subprocess.Popen(
            ["Xvfb", f":{display}", "-noreset", "-wr", "-screen", "0", "640x480x24",
             "-nolisten", "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        if not wait_for(lambda: os.path.exists(f"/tmp/.X11-unix/X{display}"), 10):
            print("Xvfb did not start", file=sys.stderr)
            return 1
        runtime = os.path.join(folder, "runtime")
        os.mkdir(runtime, 0o700)
        env = dict(os.environ, DISPLAY=f":{display}", XDG_RUNTIME_DIR=runtime)
        with DovecotSandbox(os.path.join(folder, "dovecot"), USER, PASSWORD) as box:
            box.add_message(MESSAGE)
            port, _, _ = box.start(timeout=10)
            home = os.path.join(folder, "settings")
            os.makedirs(home)
            write_settings(home, program, skin, port)
            log = open(os.path.join(folder, "vorla.log"), "wb")
            vorla = subprocess.Popen([os.path.join(program, "vorla")], env=dict(env, VORLA_HOME=home),
                                     stdout=log, stderr=subprocess.STDOUT)
            processes.append(vorla)

            def checked():
                with open(box.log_path, encoding="utf-8", errors="replace") as f:
                    return "Logged out" in f.read()

            if not wait_for(checked, 20):
                print("vorla did not check the mailbox", file=sys.stderr)
                return 1
            time.sleep(0.5)
            x, y = flag_centre(program, skin)
            subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "--repeat", "2",
                            "--delay", "80", "1"], env=env, check=True)

            def window_checked():
                if vorla.poll() is not None:
                    raise RuntimeError("vorla ended early")
                grabbed = subprocess.run([os.path.join(tools, "vorla-grab-screen"), shot], env=env,
                                         capture_output=True)
                if grabbed.returncode != 0:
                    return False
                result = subprocess.run(
                    [os.path.join(tools, "vorla-check-shot"), "--messages", shot,
                     os.path.join(program, "skins", skin), str(MESSAGES_AT[0]),
                     str(MESSAGES_AT[1])] + crop, capture_output=True, text=True)
                window_checked.last = result.stdout + result.stderr
                return result.returncode == 0

            window_checked.last = ""
            if not wait_for(window_checked, 15):
                print(window_checked.last, file=sys.stderr, end="")
                return 1
            print(window_checked.last, end="")
    finally:
        for process in reversed(processes):
            process.terminate()
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        shutil.rmtree(folder, ignore_errors=True)
    print(f"screenshot: {shot}")
    print("1 passed, 0 failed")
    return 0

if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
