#!/usr/bin/python3
"""Runs the program under a private Xvfb beside plain Qt windows and prints, in one run:
- the CPU (run time of all threads, % of one core) and the wake-ups a second (context
  switches of all threads), medians of --cpu-rounds windows of --seconds, for the ticker at
  "Fast" and at "Slow" with a line that scrolls (an account whose server refuses), for the
  ticker with no account (the credit line scrolls), for nothing to draw (no account and
  min_scroll 0), and for a Qt window that repaints every 5 ms;
- the time from start to the first mapped window (medians of --rounds, interleaved), for the
  program with an autoconnect account whose server accepts and never answers, beside an empty
  Qt window.

With --compare PROGRAM another build of the program runs beside it in every row.

usage: window_side_by_side.py [--build DIR] [--compare PROGRAM] [--display :N] [--seconds N]
                              [--cpu-rounds N] [--rounds N] [--skip-cpu]
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
    seconds = 0.0
    switches = 0
    for task in glob.glob(f"/proc/{pid}/task/*"):
        try:
            # Nanoseconds on the CPU: finer than the clock ticks of utime and stime.
            with open(task + "/schedstat") as f:
                seconds += int(f.read().split()[0]) / 1e9
            with open(task + "/status") as f:
                for line in f:
                    if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                        switches += int(line.split()[1])
        except (FileNotFoundError, ProcessLookupError):
            pass
    return seconds, switches


def settings_folder(parent, name, speed, account_port=None, autoconnect=False, extra=""):
    folder = os.path.join(parent, name)
    os.makedirs(folder)
    skins = os.path.abspath(os.path.join(ROOT, "skins"))
    ini = f"current_skin = {skins}/default/\r\nspeed = {speed}\r\n"
    if autoconnect:
        ini += "autoconnect =1\r\n"
    ini += extra
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
    ap.add_argument("--compare", help="another build of the program to run beside it")
    ap.add_argument("--display", help="the X display to start Xvfb on (default: a free one)")
    ap.add_argument("--seconds", type=float, default=20)
    ap.add_argument("--cpu-rounds", type=int, default=3)
    ap.add_argument("--rounds", type=int, default=11)
    ap.add_argument("--skip-cpu", action="store_true")
    args = ap.parse_args()
    vorla = os.path.join(args.build, "program", "vorla")
    anchor = os.path.join(args.build, "bench", "ui", "qt_anchor")
    first_map = os.path.join(args.build, "bench", "ui", "first_map")
    programs = {"vorla": vorla}
    if args.compare:
        programs["compared"] = os.path.abspath(args.compare)
    for program in (*programs.values(), anchor, first_map):
        if not os.access(program, os.X_OK):
            sys.exit("not built: " + program)

    work = tempfile.mkdtemp(prefix="vorla-bench-ui-")
    runtime = os.path.join(work, "runtime")
    os.makedirs(runtime, mode=0o700)
    display = args.display or f":{400 + os.getpid() % 500}"
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
                "nothing to draw": settings_folder(work, "still", 2, extra="min_scroll = 0\r\n"),
            }
            started = {}
            for label, program in programs.items():
                for name, folder in runs.items():
                    started[f"{label}: {name}"] = subprocess.Popen(
                        [program], env=dict(env, VORLA_HOME=folder + "/"),
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            started["Qt window repainting every 5 ms"] = subprocess.Popen(
                [anchor, "repaint"], env=env, stderr=subprocess.DEVNULL)
            processes = list(started.values())
            time.sleep(3)
            samples = {name: [] for name in started}
            for _ in range(args.cpu_rounds):
                before = {name: cpu_and_switches(p.pid) for name, p in started.items()}
                t0 = time.monotonic()
                time.sleep(args.seconds)
                elapsed = time.monotonic() - t0
                after = {name: cpu_and_switches(p.pid) for name, p in started.items()}
                for name in started:
                    samples[name].append(((after[name][0] - before[name][0]) / elapsed * 100,
                                          (after[name][1] - before[name][1]) / elapsed))
            print(f"CPU, medians of {args.cpu_rounds} x {args.seconds:.0f} s "
                  "(% of one core, wake-ups a second)")
            for name in started:
                if started[name].poll() is not None:
                    print(f"  {name}: ended early")
                    continue
                cpu = statistics.median(s[0] for s in samples[name])
                wakes = statistics.median(s[1] for s in samples[name])
                print(f"  {name:50s} {cpu:6.2f} %  {wakes:8.1f} /s")
            for p in processes:
                p.terminate()
                p.wait(10)
            processes = []

        dead = settings_folder(work, "dead", 0, silent.getsockname()[1], True)
        commands = {f"{label}, autoconnect server silent": [first_map, program]
                    for label, program in programs.items()}
        commands["empty Qt window"] = [first_map, anchor]
        times = {name: [] for name in commands}
        for _ in range(args.rounds):
            for name, command in commands.items():
                out = subprocess.run(command, env=dict(env, VORLA_HOME=dead + "/"),
                                     capture_output=True, text=True, timeout=120)
                times[name].append(float(out.stdout.strip() or "nan"))
        print(f"start to first mapped window, medians of {args.rounds}")
        for name, values in times.items():
            print(f"  {name:50s} {statistics.median(values):8.1f} ms")
    finally:
        for p in processes:
            p.terminate()
            p.wait(10)
        xvfb.terminate()
        xvfb.wait(10)
        silent.close()


if __name__ == "__main__":
    main()
