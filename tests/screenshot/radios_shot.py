"""The skinned radio buttons' screenshot test: vorla with a skin under its own Xvfb, the
configuration dialog opened from the main window's menu, and the screen grabbed: of the radio
pair on the first page ("Network" chosen, "DUN" not) exactly one shows its mark.

Usage: radios_shot.py BUILD_DIR SKIN
The screenshot stays in BUILD_DIR/tests/screenshot/radios-SKIN.png.
"""

import configparser
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from demo import ini  # noqa: E402  (the settings files as the demo writes them)
from msgwindow_shot import free_display, wait_for  # noqa: E402

MAIN_AT = (40, 30)

def status_line(program, skin):
    """A point of the status line on the screen, which opens the main menu on a right click."""
    parser = configparser.ConfigParser(strict=False, interpolation=None)
    with open(os.path.join(program, "skins", skin, "skin.ini"), encoding="latin-1") as f:
        parser.read_string(f.read())
    x, y = (int(v) for v in parser["status"]["position"].split(","))
    return MAIN_AT[0] + x + 4, MAIN_AT[1] + y + 3

def visible_window(env, title):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"], env=env,
                           capture_output=True, text=True)
    return found.stdout.split()[0] if found.returncode == 0 and found.stdout.split() else None

def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 64
    build = os.path.abspath(argv[0])
    skin = argv[1]
    program = os.path.join(build, "program")
    tools = os.path.join(build, "tests", "screenshot")
    shot = os.path.join(tools, f"radios-{skin}.png")
    folder = tempfile.mkdtemp(prefix="vorla-radios-")
    processes = []
    try:
        display = free_display()
        processes.append(subprocess.Popen(
            ["Xvfb", f":{display}", "-noreset", "-wr", "-screen", "0", "800x640x24",
             "-nolisten", "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        if not wait_for(lambda: os.path.exists(f"/tmp/.X11-unix/X{display}"), 10):
            print("Xvfb did not start", file=sys.stderr)
            return 1
        runtime = os.path.join(folder, "runtime")
        os.mkdir(runtime, 0o700)
        env = dict(os.environ, DISPLAY=f":{display}", XDG_RUNTIME_DIR=runtime)
        home = os.path.join(folder, "settings")
        os.makedirs(home)
        skins = os.path.join(program, "skins")
        with open(os.path.join(home, "Vorla.ini"), "wb") as f:
            f.write(ini([f"current_skin = {skins}/{skin}/", f"skin_dir = {skins}",
                         f"posX = {MAIN_AT[0]}", f"posY = {MAIN_AT[1]}", "speed = 0",
                         "autoconnect =0", "icon_tray =0", "RAS_connect =0"]))
        log = open(os.path.join(folder, "vorla.log"), "wb")
        vorla = subprocess.Popen([os.path.join(program, "vorla")], env=dict(env, VORLA_HOME=home),
                                 stdout=log, stderr=subprocess.STDOUT)
        processes.append(vorla)
        if not wait_for(lambda: visible_window(env, "Vorla"), 15):
            print("vorla showed no window", file=sys.stderr)
            return 1
        x, y = status_line(program, skin)
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "3"], env=env, check=True)
        # "Configure" is the menu's first item.
        subprocess.run(["xdotool", "sleep", "0.5", "key", "Down", "Return"], env=env, check=True)
        if not wait_for(lambda: visible_window(env, "Vorla Configuration"), 15):
            print("the configuration dialog did not open", file=sys.stderr)
            return 1

        def marked():
            if vorla.poll() is not None:
                raise RuntimeError("vorla ended early")
            grabbed = subprocess.run([os.path.join(tools, "vorla-grab-screen"), shot], env=env,
                                     capture_output=True)
            if grabbed.returncode != 0:
                return False
            result = subprocess.run([os.path.join(tools, "vorla-check-radios"), shot, "1"],
                                    capture_output=True, text=True)
            marked.last = result.stdout + result.stderr
            return result.returncode == 0

        marked.last = ""
        if not wait_for(marked, 15):
            print(marked.last, file=sys.stderr, end="")
            return 1
        print(marked.last, end="")
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
