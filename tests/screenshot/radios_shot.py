"""The skinned radio buttons' screenshot test: vorla with a skin under its own Xvfb, the
configuration dialog opened from the main window's menu, and the screen grabbed: of the radio
pair on the first page ("Network" chosen, "DUN" not) exactly one shows its mark.

Usage: radios_shot.py BUILD_DIR SKIN
The screenshot stays in BUILD_DIR/tests/screenshot/radios-SKIN.png.
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from demo import ini  # noqa: E402  (the settings files as the demo writes them)
from shot_session import ShotSession, grab_until_checked, passed, skin_position, \
    visible_window, wait_for  # noqa: E402

MAIN_AT = (40, 30)

def status_line(program, skin):
    """A point of the status line on the screen, which opens the main menu on a right click."""
    x, y = skin_position(program, skin, "status")
    return MAIN_AT[0] + x + 4, MAIN_AT[1] + y + 3

def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 64
    build = os.path.abspath(argv[0])
    skin = argv[1]
    program = os.path.join(build, "program")
    tools = os.path.join(build, "tests", "screenshot")
    shot = os.path.join(tools, f"radios-{skin}.png")
    with ShotSession("vorla-radios-") as session:
        env = session.start_xvfb("800x640", "-wr")
        if env is None:
            return 1
        home = session.settings_home()
        skins = os.path.join(program, "skins")
        with open(os.path.join(home, "Vorla.ini"), "wb") as f:
            f.write(ini([f"current_skin = {skins}/{skin}/", f"skin_dir = {skins}",
                         f"posX = {MAIN_AT[0]}", f"posY = {MAIN_AT[1]}", "speed = 0",
                         "autoconnect =0", "icon_tray =0", "RAS_connect =0"]))
        vorla = session.start_vorla(program, env, home)
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
        if not grab_until_checked(vorla, env, tools, shot,
                                  [os.path.join(tools, "vorla-check-radios"), shot, "1"]):
            return 1
    return passed(shot)

if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
