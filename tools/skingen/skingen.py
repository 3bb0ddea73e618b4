#!/usr/bin/env python3
"""Draws Vorla's own skins and tray icons. Same bytes on every run.

Usage: skingen.py [--out ROOT]   (ROOT defaults to the repository; writes ROOT/skins/<skin>/
and the tray icons into ROOT/assets/)
"""

import argparse
import os
import sys

sys.dont_write_bytecode = True

from skins import SKINS
from tray import TRAY_ICONS

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))


def ini_text(skin):
    lines = ["; Vorla skin drawn by tools/skingen/skingen.py; regenerate instead of editing.", ""]
    for header, keys in skin.ini_sections():
        lines.append(header)
        lines += [f"{key}={value}" for key, value in keys]
        lines.append("")
    # The key lookup ends lines at carriage returns only.
    return "\r\n".join(lines).encode("ascii")


def generated_files():
    """Every generated file as (path relative to the repository, bytes)."""
    files = []
    for make in SKINS:
        skin = make()
        base = os.path.join("skins", skin.folder)
        files.append((os.path.join(base, "skin.ini"), ini_text(skin)))
        for name, canvas in sorted(skin.pictures.items()):
            files.append((os.path.join(base, name), canvas.bmp()))
    for name, make in sorted(TRAY_ICONS.items()):
        files.append((os.path.join("assets", name), make().png()))
    return files


def main(argv):
    parser = argparse.ArgumentParser(description="Draw the Vorla skins and tray icons.")
    parser.add_argument("--out", default=REPO, help="root folder to write into")
    args = parser.parse_args(argv)
    for rel, data in generated_files():
        path = os.path.join(args.out, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
