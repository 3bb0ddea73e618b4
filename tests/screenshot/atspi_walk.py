"""The screen reader's view: vorla under its own Xvfb and D-Bus session with the accessibility
bus, read through AT-SPI as Orca reads it. The main window is a frame whose picture buttons
and mail flag are named push buttons with a Press action; from the keyboard alone, Tab reaches
Connect and Space takes the window on line with a private Dovecot; Shift+F10 opens the menu
and "Configure" the dialog, where the "Security :" list reads its chosen entry, takes the
focus when asked and reads the new entry after a change.

Usage: atspi_walk.py BUILD_DIR
(It runs itself again inside dbus-run-session with --inner.)
"""

import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))
from demo import ini, scramble  # noqa: E402
from dovecot_sandbox import DovecotSandbox, find_dovecot  # noqa: E402
from shot_session import ShotSession, passed, stop, wait_for  # noqa: E402

USER = "reader"
PASSWORD = "vorla"
BUTTONS = ["Connect", "Disconnect", "Check now", "Open mail program", "Read mail"]


class Failure(Exception):
    pass


def expect(condition, what):
    if not condition:
        raise Failure(what)


def write_settings(home, program, port):
    skins = os.path.join(program, "skins")
    with open(os.path.join(home, "Vorla.ini"), "wb") as f:
        f.write(ini([f"current_skin = {skins}/default/", f"skin_dir = {skins}", "posX = 40",
                     "posY = 30", "speed = 0", "autoconnect =0", "autocheck =0",
                     "icon_tray =0", "playsnd =0", "run_my_client =0", "RAS_connect =0"]))
    with open(os.path.join(home, "Accounts.ini"), "wb") as f:
        f.write(ini(["", "[Account1]", "acc_name = Reader", "host_name = 127.0.0.1",
                     f"user_name = {USER}"]) + b"password = " + scramble(PASSWORD) + b"\r\n" +
                ini([f"port_number = {port}", "inactive = 0"]))


def find(node, predicate, depth=0):
    """The first node under node (itself included) that satisfies predicate."""
    if node is None or depth > 12:
        return None
    try:
        if predicate(node):
            return node
        children = list(node)
    except Exception:  # a node that went away while walking
        return None
    for child in children:
        found = find(child, predicate, depth + 1)
        if found is not None:
            return found
    return None


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def inner(program):
    import pyatspi

    processes = []
    try:
        # The accessibility bus is there before vorla asks for it.
        processes.append(subprocess.Popen(["/usr/libexec/at-spi-bus-launcher",
                                           "--launch-immediately"]))
        time.sleep(1)
        log = open(os.path.join(os.environ["VORLA_HOME"], "vorla.log"), "wb")
        processes.append(subprocess.Popen([os.path.join(program, "vorla")],
                                          env=dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"),
                                          stdout=log, stderr=subprocess.STDOUT))

        def application():
            desktop = pyatspi.Registry.getDesktop(0)
            return find(desktop, lambda n: n.getRoleName() == "application" and n.name == "Vorla")

        expect(wait_for(lambda: find(application(), lambda n: n.getRoleName() == "push button"),
                        20), "vorla did not appear on the accessibility bus")
        app = application()
        frame = find(app, lambda n: n.getRoleName() == "frame" and n.name == "Vorla")
        expect(frame is not None, "the main window is no frame named Vorla")
        buttons = [n for n in frame if n is not None and n.getRoleName() == "push button"]
        expect([b.name for b in buttons] == BUTTONS,
               f"main window buttons: {[b.name for b in buttons]}")
        for button in buttons:
            expect(actions(button)[:1] == ["Press"] and "SetFocus" in actions(button),
                   f"{button.name}: actions {actions(button)}")
        online = find(frame, lambda n: n.getRoleName() == "image")
        expect(online is not None and online.name == "Disconnected",
               f"the online picture reads {online.name if online else None}")

        # The keyboard alone: focus the window, Tab to Connect, Space.
        env = os.environ
        wid = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Vorla$"], env=env,
                             capture_output=True, text=True, check=True).stdout.split()[0]
        subprocess.run(["xdotool", "windowfocus", "--sync", wid], env=env, check=True)
        # The activated window gives its first button the focus; Tab walks all and comes back.
        connect = buttons[0]
        walked = []
        for _ in range(len(BUTTONS)):
            subprocess.run(["xdotool", "key", "Tab"], env=env, check=True)
            time.sleep(0.2)
            walked += [b.name for b in buttons if b.getState().contains(pyatspi.STATE_FOCUSED)]
        expect(walked == BUTTONS[1:] + BUTTONS[:1], f"Tab walked {walked}")
        expect(connect.getState().contains(pyatspi.STATE_FOCUSED), "Tab did not reach Connect")
        subprocess.run(["xdotool", "key", "space"], env=env, check=True)
        expect(wait_for(lambda: online.name != "Disconnected", 20),
               "Space on Connect did not take the window on line")

        # Menus are read as they take the focus, not in the window tree: the dialog that the
        # menu's first item opens shows that Shift+F10 opened it.
        subprocess.run(["xdotool", "key", "shift+F10", "sleep", "0.5", "key", "Down", "Return"],
                       env=env, check=True)

        def dialog():
            return find(application(), lambda n: n.getRoleName() == "dialog"
                        and n.name == "Vorla Configuration")

        expect(wait_for(dialog, 10), "Shift+F10 and Configure opened no dialog")
        menu_button = find(dialog(), lambda n: n.name == "Main Options")
        expect(menu_button is not None, "no page button")
        expect(actions(menu_button)[:1] == ["Press"], f"page button: {actions(menu_button)}")
        menu_button.queryAction().doAction(0)
        # "Incoming Mails (POP3)" is the page menu's second item.
        subprocess.run(["xdotool", "sleep", "0.5", "key", "Down", "Down", "Return"], env=env,
                       check=True)

        def security():
            def labelled_security(n):
                if n.getRoleName() != "combo box":
                    return False
                for relation in n.getRelationSet():
                    if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY and any(
                            relation.getTarget(i).name == "Security :"
                            for i in range(relation.getNTargets())):
                        return n.getState().contains(pyatspi.STATE_SHOWING)
                return False
            return find(dialog(), labelled_security)

        expect(wait_for(security, 5), "no showing combo box labelled by Security :")
        combo = security()
        expect(combo.name == "Auto", f"Security : reads {combo.name!r}")
        expect(combo.queryComponent().grabFocus(), "grabFocus on the combo box failed")
        expect(wait_for(lambda: combo.getState().contains(pyatspi.STATE_FOCUSED), 5),
               "the combo box did not take the focus")
        subprocess.run(["xdotool", "key", "Down"], env=env, check=True)
        expect(wait_for(lambda: security().name == "TLS", 5),
               f"after Down, Security : reads {security().name!r}")
    finally:
        stop(processes)
    return 0


def main(argv):
    if argv[:1] == ["--inner"]:
        try:
            return inner(argv[1])
        except Failure as failure:
            print(f"FAIL: {failure}", file=sys.stderr)
            return 1
    if len(argv) != 1:
        print(__doc__, file=sys.stderr)
        return 64
    program = os.path.join(os.path.abspath(argv[0]), "program")
    if find_dovecot() is None:
        print("dovecot is not installed (package dovecot-pop3d)", file=sys.stderr)
        return 1
    with ShotSession("vorla-atspi-", shared=True) as session:
        display_env = session.start_xvfb("800x640")
        if display_env is None:
            return 1
        home = session.settings_home()
        with DovecotSandbox(os.path.join(session.folder, "dovecot"), USER, PASSWORD) as box:
            port, _, _ = box.start(timeout=10)
            write_settings(home, program, port)
            env = dict(display_env, VORLA_HOME=home)
            # pyatspi is the system's: the system Python runs the inner part.
            result = subprocess.run(["dbus-run-session", "--", "/usr/bin/python3",
                                     os.path.abspath(__file__), "--inner", program],
                                    env=env, timeout=120)
            if result.returncode != 0:
                with open(os.path.join(home, "vorla.log"), encoding="utf-8",
                          errors="replace") as f:
                    print(f.read(), file=sys.stderr, end="")
                return 1
    return passed()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
