#!/usr/bin/python3
"""Peak resident size of the tools against hostile input, for one or more builds in one run.

usage: peak_memory.py BUILD [BUILD...]
Each BUILD is a folder holding vorla-skinshot, vorla-msgwindow and vorla-check (a build tree's
tools/*/ folders are searched too). For every case and build it prints the peak resident size
(GNU time), the wall time and the tool's last lines:
  rle8-bmp     a skin whose main picture is a 68-byte RLE8 BMP claiming 8192 x 8192 pixels
  endless-retr the message window against a server whose RETR never ends
  big-answer   the message window against a server that sends 300 MB for a message LISTed
               as 1000 bytes
  silent       vorla-check --ticks 1 --timeout 2000 against a server that never answers
  drip         the same against a server that drips its greeting a byte a second
  slow         the same against a server that answers everything 1.5 s late
  msg-silent   vorla-msgwindow --timeout 2000 against a server that never answers (skipped
               for a build whose vorla-msgwindow has no --timeout)
Needs /usr/bin/time. The servers run on 127.0.0.1 and are stopped at the end of each case.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
TOOLS = ("vorla-skinshot", "vorla-msgwindow", "vorla-check")


def find_tool(build, name):
    for candidate in (os.path.join(build, name), os.path.join(build, "tools", name, name)):
        if os.access(candidate, os.X_OK):
            return candidate
    raise SystemExit("no %s in %s" % (name, build))


def rle8_bomb():
    """68 bytes: file header, info header, one palette entry, five end-of-line codes."""
    pixels = b"\x00\x00" * 5
    palette = b"\x00\x00\x00\x00"
    off = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, 8192, 8192, 1, 8, 1, len(pixels), 2835, 2835, 1, 0)
    head = b"BM" + struct.pack("<IHHI", off + len(pixels), 0, 0, off)
    data = head + info + palette + pixels
    assert len(data) == 68
    return data


def settings_folder(root, port):
    folder = os.path.join(root, "settings")
    os.makedirs(folder, exist_ok=True)
    skins = os.path.join(folder, "skins")
    if not os.path.exists(skins):
        shutil.copytree(os.path.join(REPO, "skins"), skins)
    with open(os.path.join(REPO, "src", "app", "Vorla.ini.default"), "rb") as f:
        lines = f.read().replace(b"\r", b"").split(b"\n")
    lines = [b"current_skin = " + skins.encode() + b"/default/"
             if l.startswith(b"current_skin") else l for l in lines]
    with open(os.path.join(folder, "Vorla.ini"), "wb") as f:
        f.write(b"\r\n".join(lines))
    with open(os.path.join(folder, "Accounts.ini"), "wb") as f:
        f.write(b"[Account1]\r\nacc_name = Box\r\nhost_name = 127.0.0.1\r\n"
                b"user_name = u\r\nport_number = %d\r\n" % port)
    return folder


class HostileServer:
    def __init__(self, mode):
        self.process = subprocess.Popen(
            [sys.executable, os.path.join(HERE, "hostile_pop3.py"), mode],
            stdout=subprocess.PIPE, text=True)
        self.port = int(self.process.stdout.readline())

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.process.terminate()
        self.process.wait()


def measure(command):
    """Runs command under GNU time; returns (peak KB, seconds, last output lines)."""
    start = time.monotonic()
    run = subprocess.run(["/usr/bin/time", "-f", "PEAK %M"] + command,
                         stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                         errors="replace")
    seconds = time.monotonic() - start
    peak = 0
    other = []
    for line in run.stderr.splitlines():
        if line.startswith("PEAK "):
            peak = int(line.split()[1])
        else:
            other.append(line)
    lines = [l for l in run.stdout.splitlines() + other
             if l.split(" ")[0].rstrip(":") in ("error", "message", "memo", "main") or "Err" in l
             or "BMP" in l]
    return peak, seconds, lines[-3:]


def case_rle8(build, root):
    skin = os.path.join(root, "rle8skin")
    if not os.path.exists(skin):
        shutil.copytree(os.path.join(REPO, "skins", "default"), skin)
        with open(os.path.join(skin, "main.bmp"), "wb") as f:
            f.write(rle8_bomb())
    return measure([find_tool(build, "vorla-skinshot"), skin, os.path.join(root, "out.bmp")])


def case_msgwindow(mode):
    def run(build, root):
        with HostileServer(mode) as server:
            folder = settings_folder(root, server.port)
            return measure([find_tool(build, "vorla-msgwindow"), folder, "close"])
    return run


def case_check(mode):
    def run(build, root):
        with HostileServer(mode) as server:
            folder = settings_folder(root, server.port)
            return measure([find_tool(build, "vorla-check"), folder, "--ticks", "1",
                            "--no-news", "--timeout", "2000"])
    return run


def case_msgwindow_timeout(mode):
    def run(build, root):
        tool = find_tool(build, "vorla-msgwindow")
        if subprocess.run([tool, root, "--timeout", "1"], capture_output=True).returncode == 64:
            return 0, 0.0, ["(no --timeout option)"]
        with HostileServer(mode) as server:
            folder = settings_folder(root, server.port)
            return measure([tool, folder, "--timeout", "2000", "close"])
    return run


CASES = [("rle8-bmp", case_rle8), ("endless-retr", case_msgwindow("endless")),
         ("big-answer", case_msgwindow("big")), ("silent", case_check("silent")),
         ("drip", case_check("drip")), ("slow", case_check("slow")),
         ("msg-silent", case_msgwindow_timeout("silent"))]


def main():
    builds = sys.argv[1:]
    if not builds:
        sys.stderr.write(__doc__)
        return 2
    with tempfile.TemporaryDirectory() as root:
        for name, case in CASES:
            for build in builds:
                peak, seconds, lines = case(build, root)
                print("%-13s %-40s peak %8.1f MB  %6.1f s" % (name, build, peak / 1024.0, seconds))
                for line in lines:
                    print("    " + line[:150])
    return 0


if __name__ == "__main__":
    sys.exit(main())
