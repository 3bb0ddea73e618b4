"""The message window's screenshot test: vorla under its own Xvfb checks a private Dovecot
holding one message, the mail flag is double-clicked, and the screen is grabbed and checked:
the message window is cut to its outline, shows its background and has text in its memo.
With --imap the account reads the mailbox over IMAP instead of POP3.

Usage: msgwindow_shot.py BUILD_DIR SKIN [--imap] [CROP.png]
The screenshot stays in BUILD_DIR/tests/screenshot/messages-SKIN.png (messages-imap-SKIN.png).
"""

import contextlib
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from demo import ini, scramble  # noqa: E402  (the settings files as the demo writes them)
from dovecot_sandbox import DovecotSandbox, find_dovecot  # noqa: E402
from shot_session import ShotSession, grab_until_checked, passed, skin_position, wait_for  # noqa: E402

USER = "shot"
PASSWORD = "vorla"
MAIN_AT = (40, 30)
MESSAGES_AT = (40, 150)
MESSAGE = (b"From: Ada <ada@example.org>\r\nTo: shot@localhost\r\nSubject: Skins of the month\r\n"
           b"Date: Mon, 1 Jan 2024 09:00:00 +0000\r\n\r\n"
           b"Two new skins are out.\r\nBoth draw the message window of their own.\r\n")

def write_settings(home, program, skin, port, extra=(), account=()):
    skins = os.path.join(program, "skins")
    with open(os.path.join(home, "Vorla.ini"), "wb") as f:
        f.write(ini([f"current_skin = {skins}/{skin}/", f"skin_dir = {skins}",
                     f"posX = {MAIN_AT[0]}", f"posY = {MAIN_AT[1]}", "speed = 0",
                     "autoconnect =1", "autocheck =1", "minutes = 30", "icon_tray =0",
                     "playsnd =0", "run_my_client =0", "vrmail =1",
                     f"memo_posx = {MESSAGES_AT[0]}", f"memo_posy = {MESSAGES_AT[1]}",
                     *extra]))
    with open(os.path.join(home, "Accounts.ini"), "wb") as f:
        f.write(ini(["", "[Account1]", "acc_name = Shot", "host_name = 127.0.0.1",
                     f"user_name = {USER}"]) + b"password = " + scramble(PASSWORD) + b"\r\n" +
                ini([f"port_number = {port}", "inactive = 0", *account]))

def flag_centre(program, skin):
    """Where the mail flag is on the screen, from the skin's position and picture size."""
    x, y = skin_position(program, skin, "youhavemail")
    return MAIN_AT[0] + x + 6, MAIN_AT[1] + y + 6

def messages_check(tools, program, skin, shot):
    """The command that checks the message window on shot."""
    return [os.path.join(tools, "vorla-check-shot"), "--messages", shot,
            os.path.join(program, "skins", skin), str(MESSAGES_AT[0]), str(MESSAGES_AT[1])]

@contextlib.contextmanager
def vorla_on_message(session, env, program, skin, extra=(), imap=False):
    """A private Dovecot holding MESSAGE and vorla set to check it (over IMAP when asked), with
    the extra lines in Vorla.ini; yields the Dovecot and vorla's process."""
    with DovecotSandbox(os.path.join(session.folder, "dovecot"), USER, PASSWORD,
                        imap=imap) as box:
        box.add_message(MESSAGE)
        port, _, _ = box.start(timeout=10)
        home = session.settings_home()
        if imap:
            write_settings(home, program, skin, box.imap_port, extra, ["protocol = imap"])
        else:
            write_settings(home, program, skin, port, extra)
        yield box, session.start_vorla(program, env, home)

def main(argv):
    imap = "--imap" in argv
    argv = [a for a in argv if a != "--imap"]
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
    shot = os.path.join(tools, f"messages-{'imap-' if imap else ''}{skin}.png")
    with ShotSession("vorla-shot-", shared=True) as session:
        env = session.start_xvfb("640x480", "-wr")
        if env is None:
            return 1
        with vorla_on_message(session, env, program, skin, imap=imap) as (box, vorla):

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
            if not grab_until_checked(vorla, env, tools, shot,
                                      messages_check(tools, program, skin, shot) + crop):
                return 1
    return passed(shot)

if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
