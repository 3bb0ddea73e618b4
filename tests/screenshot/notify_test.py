"""The desktop notification of new mail, end to end: vorla under its own Xvfb and session bus
checks a private Dovecot holding one message; a mock notification service records the Notify
call, which must carry the summary, the body, the hints and the actions; invoking "default"
through the mock must open the message window, which the screen then shows.

Usage: dbus-run-session -- python3 notify_test.py BUILD_DIR SKIN
"""

import os
import subprocess
import sys

import dbus

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from msgwindow_shot import messages_check, vorla_on_message  # noqa: E402
from shot_session import ShotSession, grab_until_checked, passed, wait_for  # noqa: E402
from dovecot_sandbox import find_dovecot  # noqa: E402

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
    with ShotSession("vorla-notify-", shared=True) as session:
        session.start(["/usr/bin/python3", "-m", "dbusmock", "--session", "--template",
                       "notification_daemon", "-p", '{"capabilities": "body actions"}'],
                      stdout=subprocess.DEVNULL)
        bus = dbus.SessionBus()
        if not wait_for(lambda: bus.name_has_owner(NOTIFICATIONS), 10):
            print("the mock notification service did not start", file=sys.stderr)
            return 1
        env = session.start_xvfb("640x480", "-wr")
        if env is None:
            return 1
        with vorla_on_message(session, env, program, skin,
                              ["announce_new =1", "notify =1"]) as (_, vorla):
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
            if not grab_until_checked(vorla, env, tools, shot,
                                      messages_check(tools, program, skin, shot),
                                      failure="the message window did not open:\n", echo=False):
                return 1
    return passed()

if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
