#!/usr/bin/python3
"""Runs the program under a private Xvfb beside plain Qt windows and prints, in one run:
- the CPU (utime + stime of all threads, % of one core) and the wake-ups a second (context
  switches of all threads) over --seconds, for the ticker at "Fast" and at "Slow" with a line
  that scrolls (an account whose server refuses), for the ticker with no account, and for
  a Qt window that repaints every 5 ms;
- the time from start to the first mapped window (medians of --rounds, interleaved), for the
  program with an autoconnect account whose server accepts and never answers, beside an empty
  Qt window.

usage: window_side_by_side.py [--build DIR] [--seconds N] [--rounds N] [--skip-cpu]
"""
import argparse
import glob
import os
import socket
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..", "..")


def cpu_and_switches(pid):
    ticks = 0
    switches = 0
    for task in glob.glob(f"/proc/{pid}/task/*"):
        try:
            with open(task + "/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            ticks += int(fields[11]) + int(fields[12])
            with open(task + "/status") as f:
                for line in f:
                    if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                        switches += int(line.split()[1])
        except (FileNotFoundError, ProcessLookupError):
            pass
    return ticks / os.sysconf("SC_CLK_TCK"), switches


def settings_folder(parent, name, speed, account_port=None, autoconnect=False):
    folder = os.path.join(parent, name)
    os.makedirs(folder)
    skins = os.path.abspath(os.path.join(ROOT, "skins"))
    ini = f"current_skin = {skins}/default/\r\nspeed = {speed}\r\n"
    if autoconnect:
        ini += "autoconnect =1\r\n"
    with open(os.path.join(folder, "Vorla.ini"), "w") as f:
        f.write(ini)
    acc = ""
    if account_port:
        acc = (f"\r\n[Account1]\r\nacc_name = Box\r\nhost_name = 127.0.0.1\r\n"
               f"user_name = u\r\nport_number = {account_port}\r\ninactive = 0\r\n")
    with open(os.path.join(folder, "Accounts.ini"), "w") as f:
        f.write(acc)
    return folder


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=os.path.join(ROOT, "build"))
    ap.add_argument("--seconds", type=float, default=60)
    ap.add_argument("--rounds", type=int, default=11)
    ap.add_argument("--skip-cpu", action="store_true")
    args = ap.parse_args()
    vorla = os.path.join(args.build, "program", "vorla")
    anchor = os.path.join(args.build, "bench", "ui", "qt_anchor")
    first_map = os.path.join(args.build, "bench", "ui", "first_map")
    for program in (vorla, anchor, first_map):
        if not os.access(program, os.X_OK):
            sys.exit("not built: " + program)

    work = tempfile.mkdtemp(prefix="vorla-bench-ui-")
    runtime = os.path.join(work, "runtime")
    os.makedirs(runtime, mode=0o700)
    display = f":{400 + os.getpid() % 500}"
    xvfb = subprocess.Popen(["Xvfb", display, "-noreset", "-screen", "0", "1024x768x24"],
                            stderr=subprocess.DEVNULL)
    env = dict(os.environ, DISPLAY=display, XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="xcb")
    env.pop("WAYLAND_DISPLAY", None)
    silent = socket.socket()  # accepts and never answers: a server that is down for POP3
    silent.bind(("127.0.0.1", 0))
    silent.listen(64)
    refused = free_port()
    processes = []
    try:
        time.sleep(1.5)
        if not args.skip_cpu:
            runs = {
                "ticker Fast, scrolling": settings_folder(work, "fast", 2, refused, True),
                "ticker Slow, scrolling": settings_folder(work, "slow", 0, refused, True),
                "ticker Fast, no account": settings_folder(work, "idle", 2),
            }
            started = {}
            for name, folder in runs.items():
                started[name] = subprocess.Popen([vorla], env=dict(env, VORLA_HOME=folder + "/"),
                                                 stdout=subprocess.DEVNULL,
                                                 stderr=subprocess.DEVNULL)
            started["Qt window repainting every 5 ms"] = subprocess.Popen(
                [anchor, "repaint"], env=env, stderr=subprocess.DEVNULL)
            processes = list(started.values())
            time.sleep(3)
            before = {name: cpu_and_switches(p.pid) for name, p in started.items()}
            t0 = time.monotonic()
            time.sleep(args.seconds)
            elapsed = time.monotonic() - t0
            after = {name: cpu_and_switches(p.pid) for name, p in started.items()}
            print(f"CPU over {elapsed:.0f} s (% of one core, wake-ups a second)")
            for name in started:
                if started[name].poll() is not None:
                    print(f"  {name}: ended early")
                    continue
                cpu = (after[name][0] - before[name][0]) / elapsed * 100
                wakes = (after[name][1] - before[name][1]) / elapsed
                print(f"  {name:40s} {cpu:6.2f} %  {wakes:8.1f} /s")
            for p in processes:
                p.terminate()
                p.wait(10)
            processes = []

        dead = settings_folder(work, "dead", 0, silent.getsockname()[1], True)
        times = {"vorla, autoconnect server silent": [], "empty Qt window": []}
        for _ in range(args.rounds):
            for name in times:
                command = [first_map, vorla] if name.startswith("vorla") else [first_map, anchor]
                out = subprocess.run(command, env=dict(env, VORLA_HOME=dead + "/"),
                                     capture_output=True, text=True, timeout=120)
                times[name].append(float(out.stdout.strip() or "nan"))
        print(f"start to first mapped window, medians of {args.rounds}")
        for name, values in times.items():
            print(f"  {name:40s} {statistics.median(values):8.1f} ms")
    finally:
        for p in processes:
            p.terminate()
            p.wait(10)
        xvfb.terminate()
        xvfb.wait(10)
        silent.close()


if __name__ == "__main__":
    main()
