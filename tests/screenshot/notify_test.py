"""The desktop notification of new mail, end to end: vorla under its own Xvfb and session bus
checks a private Dovecot holding one message; a mock notification service records the Notify
call, which must carry the summary, the body, the hints and the actions; invoking "default"
through the mock must open the message window, which the screen then shows.

Usage: dbus-run-session -- python3 notify_test.py BUILD_DIR SKIN
"""

import os
import shutil
import subprocess
import sys
import tempfile

import dbus

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from msgwindow_shot import MESSAGE, MESSAGES_AT, PASSWORD, USER, free_display, wait_for, \
    write_settings  # noqa: E402
from dovecot_sandbox import DovecotSandbox, find_dovecot  # noqa: E402

NOTIFICATIONS = "org.freedesktop.Notifications"
PATH = "/org/freedesktop/Notifications"
MOCK = "org.freedesktop.DBus.Mock"

def notify_calls(bus):
    mock = dbus.Interface(bus.get_object(NOTIFICATIONS, PATH), MOCK)
    return [args for _, args in mock.GetMethodCalls("Notify")]

def check_call(args):
    """The faults of one Notify call, as texts."""
    app, replaces, icon, summary, body, actions, hints, _ = args
    expected = {
        "app name": (str(app), "Vorla"),
        "replaces": (int(replaces), 0),
        "icon": (str(icon), "vorla"),
        "summary": (str(summary), "Shot: 1 new message"),
        "body": (str(body), "Ada \u2014 Skins of the month"),
        "actions": ([str(a) for a in actions], ["default", "Open", "mail", "Open mail program"]),
        "category": (str(hints.get("category", "")), "email.arrived"),
        "desktop-entry": (str(hints.get("desktop-entry", "")), "vorla"),
    }
    return [f"{name}: {got!r}, expected {want!r}" for name, (got, want) in expected.items()
            if got != want]

def main(argv):
    if len(argv) != 2 or "DBUS_SESSION_BUS_ADDRESS" not in os.environ:
        print(__doc__, file=sys.stderr)
        return 64
    build, skin = os.path.abspath(argv[0]), argv[1]
    program = os.path.join(build, "program")
    tools = os.path.join(build, "tests", "screenshot")
    if find_dovecot() is None:
        print("dovecot is not installed (package dovecot-pop3d)", file=sys.stderr)
        return 1
    folder = tempfile.mkdtemp(prefix="vorla-notify-")
    os.chmod(folder, 0o755)
    processes = []
    try:
        processes.append(subprocess.Popen(
            ["/usr/bin/python3", "-m", "dbusmock", "--session", "--template",
             "notification_daemon", "-p", '{"capabilities": "body actions"}'],
            stdout=subprocess.DEVNULL))
        bus = dbus.SessionBus()
        if not wait_for(lambda: bus.name_has_owner(NOTIFICATIONS), 10):
            print("the mock notification service did not start", file=sys.stderr)
            return 1
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
            with open(os.path.join(home, "Vorla.ini"), "ab") as f:
                f.write(b"announce_new =1\r\nnotify =1\r\n")
            log = open(os.path.join(folder, "vorla.log"), "wb")
            vorla = subprocess.Popen([os.path.join(program, "vorla")],
                                     env=dict(env, VORLA_HOME=home), stdout=log,
                                     stderr=subprocess.STDOUT)
            processes.append(vorla)
            if not wait_for(lambda: notify_calls(bus), 20):
                print("vorla sent no notification", file=sys.stderr)
                return 1
            calls = notify_calls(bus)
            faults = check_call(calls[0]) + ([] if len(calls) == 1 else [f"{len(calls)} calls"])
            if faults:
                print("\n".join(faults), file=sys.stderr)
                return 1

            mock = dbus.Interface(bus.get_object(NOTIFICATIONS, PATH), MOCK)
            mock.EmitSignal(NOTIFICATIONS, "ActionInvoked", "us", [dbus.UInt32(1), "default"])
            shot = os.path.join(tools, f"notify-{skin}.png")

            def window_shown():
                if vorla.poll() is not None:
                    raise RuntimeError("vorla ended early")
                grabbed = subprocess.run([os.path.join(tools, "vorla-grab-screen"), shot],
                                         env=env, capture_output=True)
                if grabbed.returncode != 0:
                    return False
                result = subprocess.run(
                    [os.path.join(tools, "vorla-check-shot"), "--messages", shot,
                     os.path.join(program, "skins", skin), str(MESSAGES_AT[0]),
                     str(MESSAGES_AT[1])], capture_output=True, text=True)
                window_shown.last = result.stdout + result.stderr
                return result.returncode == 0

            window_shown.last = ""
            if not wait_for(window_shown, 15):
                print("the message window did not open:\n" + window_shown.last, file=sys.stderr)
                return 1
    finally:
        for process in reversed(processes):
            process.terminate()
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        shutil.rmtree(folder, ignore_errors=True)
    print("1 passed, 0 failed")
    return 0

if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
