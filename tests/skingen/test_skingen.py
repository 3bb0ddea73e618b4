#!/usr/bin/env python3
"""Checks the shipped skins: the generator reproduces them byte for byte, skin.ini reads back
through the key lookup's substring rules, and every element sits inside the window outline."""

import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
GENERATOR = os.path.join(REPO, "tools", "skingen", "skingen.py")
SKINS = [os.path.join(REPO, "skins", d) for d in ("default", "frost")]
ICONS = ("VrDis.png", "VrCon.png", "VrMail.png")
KEY = (255, 0, 255)

MAIN_BUTTONS = {"[connect]": "cnxbtn", "[disconnect]": "disbtn", "[readmsg]": "readbtn",
                "[mailclient]": "runmail"}
MSG_BUTTONS = ("prev", "next", "reply", "delete", "close")
REQUIRED = (
    [("[background]", "main"), ("[background]", "msgbkng")]
    + [(s, p + k) for s, p in MAIN_BUTTONS.items() for k in ("normal", "select")]
    + [(s, "position") for s in list(MAIN_BUTTONS) + ["[online]", "[youhavemail]", "[nbmsg]",
                                                        "[status]"]]
    + [("[online]", "onlinebmp"), ("[online]", "notonlinebmp"), ("[youhavemail]", "gotmail"),
       ("[youhavemail]", "nomail"), ("[nbmsg]", "nbmsgbmp"), ("[nbmsg]", "size"),
       ("[status]", "fontbmp"), ("[status]", "size"), ("[status]", "maxchar")]
    + [("[memo_msgwindow]", k) for k in ("memo_x", "memo_y", "memo_width", "memo_height",
                                         "fontcolor", "fontname", "fontstyle", "fontsize")]
    + [("[memo_msgwindow]", b + k) for b in MSG_BUTTONS for k in ("btnnormal", "btnselect",
                                                                  "btnpos")])
INFO_KEYS = ("skin_name", "skin_author", "skin_mail", "skin_web", "skin_info")
STATUS_ROWS = ("ABCDEFGHIJKLMNOPQRSTUVWXYZ", "()*+,-./0123456789:;<=>?@", "!\"#$%&'")


def read_lines(path):
    with open(path, "rb") as f:
        return f.read().decode("latin-1").split("\r\n")


def find_in_skin(lines, section, key):
    """The settings key lookup: a key matches any later line that contains it."""
    i = 0
    if section:
        while i < len(lines) and lines[i].lower() != section.lower():
            i += 1
        if i == len(lines):
            return "empty"
    for line in lines[i:]:
        if line and not line.startswith(";") and key.lower() in line.lower():
            value = line.split("=", 1)[1] if "=" in line else line
            return value.strip() or "empty"
    return "empty"


def own_values(lines):
    """section -> key -> value as a reader that honours sections strictly would see it."""
    sections, current = {}, None
    for line in lines:
        if line.startswith("["):
            current = sections.setdefault(line.lower(), {})
        elif "=" in line and current is not None and not line.startswith(";"):
            key, value = line.split("=", 1)
            current[key.strip().lower()] = value.strip()
    return sections


def read_bmp(path):
    with open(path, "rb") as f:
        data = f.read()
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    hsize, width, height, planes, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    assert (magic, size, hsize, planes, bits, compression) == (b"BM", len(data), 40, 1, 24, 0), path
    stride = (width * 3 + 3) & ~3
    assert len(data) >= offset + stride * abs(height), path
    rows = []
    for y in range(abs(height)):
        src = offset + ((abs(height) - 1 - y) if height > 0 else y) * stride
        rows.append([tuple(data[src + 3 * x + 2 - c] for c in range(3)) for x in range(width)])
    return rows


def pair(text):
    first, second = text.split(",", 1)
    return int(first), int(second)


class Reproducible(unittest.TestCase):
    def test_generator_rewrites_the_committed_files_exactly(self):
        with tempfile.TemporaryDirectory() as out:
            subprocess.run([sys.executable, GENERATOR, "--out", out], check=True)
            generated = {os.path.relpath(os.path.join(d, f), out)
                         for d, _, files in os.walk(out) for f in files}
            for rel in sorted(generated):
                with open(os.path.join(out, rel), "rb") as a, open(os.path.join(REPO, rel), "rb") as b:
                    self.assertEqual(a.read(), b.read(), f"{rel} differs from the generator's output")
        committed = {os.path.relpath(os.path.join(d, f), REPO)
                     for skin in SKINS for d, _, files in os.walk(skin) for f in files}
        self.assertEqual(committed - generated, set(), "skin files the generator does not make")


class SkinFiles(unittest.TestCase):
    def test_lines_end_in_cr_lf(self):
        for skin in SKINS:
            with open(os.path.join(skin, "skin.ini"), "rb") as f:
                data = f.read()
            self.assertEqual(data.count(b"\n"), data.count(b"\r\n"), skin)
            self.assertEqual(data.count(b"\r"), data.count(b"\r\n"), skin)

    def test_every_key_reads_its_own_line(self):
        for skin in SKINS:
            lines = read_lines(os.path.join(skin, "skin.ini"))
            own = own_values(lines)
            for section, key in REQUIRED:
                with self.subTest(skin=skin, section=section, key=key):
                    self.assertIn(key, own.get(section, {}))
                    self.assertEqual(find_in_skin(lines, section, key), own[section][key])

    def test_skin_information_is_found_once(self):
        for skin in SKINS:
            lines = read_lines(os.path.join(skin, "skin.ini"))
            for key in INFO_KEYS:
                hits = [l.split("=", 1)[1].strip() for l in lines if key in l.lower()]
                self.assertEqual(len(hits), 1, f"{skin} {key}: {hits}")
                self.assertTrue(hits[0], f"{skin} {key} is empty")
            self.assertEqual([l for l in lines if "skin_author" in l], ["skin_author=Vorla team"])

    def test_numbers_convert_without_blanks(self):
        for skin in SKINS:
            own = own_values(read_lines(os.path.join(skin, "skin.ini")))
            for section, key in REQUIRED:
                if key in ("position", "size") or key.endswith("btnpos"):
                    value = own[section][key]
                    self.assertRegex(value, r"^\d+,\d+$", f"{skin} {section} {key}")
            self.assertRegex(own["[memo_msgwindow]"]["fontcolor"], r"^\d+,\d+,\d+$")
            self.assertGreater(int(own["[status]"]["maxchar"]), 0)


class Pictures(unittest.TestCase):
    def setUp(self):
        self.skins = []
        for skin in SKINS:
            own = own_values(read_lines(os.path.join(skin, "skin.ini")))
            self.skins.append((skin, own, lambda name, s=skin: read_bmp(os.path.join(s, name))))

    def test_status_font_has_every_cell_in_its_row(self):
        for skin, own, load in self.skins:
            w, h = pair(own["[status]"]["size"])
            font = load(own["[status]"]["fontbmp"])
            self.assertGreaterEqual(len(font), 3 * h + 1)
            self.assertGreaterEqual(len(font[0]), 26 * w)
            for row, top in zip(STATUS_ROWS, (0, h, 2 * h + 1)):
                for i, ch in enumerate(row):
                    cell = [font[top + y][i * w + x] for y in range(h) for x in range(w)]
                    self.assertTrue(any(p != KEY for p in cell), f"{skin}: no glyph for {ch!r}")
            self.assertTrue(all(p == KEY for p in font[2 * h]), f"{skin}: rows 1 and 2 touch")

    def test_count_font_has_ten_digits(self):
        for skin, own, load in self.skins:
            w, h = pair(own["[nbmsg]"]["size"])
            digits = load(own["[nbmsg]"]["nbmsgbmp"])
            self.assertGreaterEqual(len(digits), h)
            self.assertGreaterEqual(len(digits[0]), 10 * w)
            cells = [tuple(digits[y][d * w + x] for y in range(h) for x in range(w)) for d in range(10)]
            self.assertEqual(len(set(cells)), 10, f"{skin}: two digits look alike")

    def test_transparent_pictures_mark_their_key_in_the_bottom_left(self):
        for skin, own, load in self.skins:
            for section, key in (("[online]", "onlinebmp"), ("[online]", "notonlinebmp"),
                                 ("[youhavemail]", "gotmail"), ("[youhavemail]", "nomail")):
                rows = load(own[section][key])
                self.assertEqual(rows[-1][0], KEY, f"{skin} {key}")

    def element_boxes(self, own, load):
        def size(*names):
            pics = [load(n) for n in names]
            return max(len(p[0]) for p in pics), max(len(p) for p in pics)
        boxes = {}
        for section, prefix in MAIN_BUTTONS.items():
            boxes[section] = pair(own[section]["position"]) + size(
                own[section][prefix + "normal"], own[section][prefix + "select"])
        boxes["[online]"] = pair(own["[online]"]["position"]) + size(
            own["[online]"]["onlinebmp"], own["[online]"]["notonlinebmp"])
        boxes["[youhavemail]"] = pair(own["[youhavemail]"]["position"]) + size(
            own["[youhavemail]"]["gotmail"], own["[youhavemail]"]["nomail"])
        w, h = pair(own["[status]"]["size"])
        boxes["[status]"] = pair(own["[status]"]["position"]) + (
            int(own["[status]"]["maxchar"]) * w + 1, h + 1)
        w, h = pair(own["[nbmsg]"]["size"])
        boxes["[nbmsg] 4 digits"] = pair(own["[nbmsg]"]["position"]) + (4 * w + 1, h + 1)
        return boxes

    def assert_placed(self, skin, background, boxes):
        for name, (x, y, w, h) in boxes.items():
            self.assertTrue(x >= 0 and y >= 0 and y + h <= len(background)
                            and x + w <= len(background[0]), f"{skin}: {name} leaves the picture")
            outside = [(px, py) for py in range(y, y + h) for px in range(x, x + w)
                       if background[py][px] == KEY]
            self.assertEqual(outside, [], f"{skin}: {name} reaches outside the outline")
        names = sorted(boxes)
        for i, a in enumerate(names):
            for b in names[i + 1:]:
                ax, ay, aw, ah = boxes[a]
                bx, by, bw, bh = boxes[b]
                apart = ax + aw <= bx or bx + bw <= ax or ay + ah <= by or by + bh <= ay
                self.assertTrue(apart, f"{skin}: {a} overlaps {b}")

    def test_main_window_elements_sit_inside_the_outline_apart(self):
        for skin, own, load in self.skins:
            self.assert_placed(skin, load(own["[background]"]["main"]), self.element_boxes(own, load))

    def test_message_window_elements_sit_inside_the_outline_apart(self):
        for skin, own, load in self.skins:
            memo = own["[memo_msgwindow]"]
            boxes = {"memo": tuple(int(memo[k]) for k in ("memo_x", "memo_y", "memo_width",
                                                          "memo_height"))}
            for b in MSG_BUTTONS:
                normal, hover = load(memo[b + "btnnormal"]), load(memo[b + "btnselect"])
                self.assertEqual((len(normal), len(normal[0])), (len(hover), len(hover[0])), b)
                boxes[b] = pair(memo[b + "btnpos"]) + (len(normal[0]), len(normal))
            self.assert_placed(skin, load(own["[background]"]["msgbkng"]), boxes)

    def test_outline_corners_are_cut(self):
        for skin, own, load in self.skins:
            for key in ("main", "msgbkng"):
                rows = load(own["[background]"][key])
                corners = (rows[0][0], rows[0][-1], rows[-1][0], rows[-1][-1])
                self.assertEqual(corners, (KEY,) * 4, f"{skin} {key}")
                self.assertNotEqual(rows[len(rows) // 2][len(rows[0]) // 2], KEY)


class TrayIcons(unittest.TestCase):
    def test_icons_are_32_pixel_png_with_valid_chunks(self):
        for name in ICONS:
            with open(os.path.join(REPO, "assets", name), "rb") as f:
                data = f.read()
            self.assertEqual(data[:8], b"\x89PNG\r\n\x1a\n", name)
            pos, kinds, idat = 8, [], b""
            while pos < len(data):
                length, = struct.unpack_from(">I", data, pos)
                kind, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + length]
                crc, = struct.unpack_from(">I", data, pos + 8 + length)
                self.assertEqual(crc, zlib.crc32(kind + body), f"{name} {kind}")
                kinds.append(kind)
                idat += body if kind == b"IDAT" else b""
                if kind == b"IHDR":
                    self.assertEqual(struct.unpack(">II", body[:8]), (32, 32), name)
                pos += 12 + length
            self.assertEqual((kinds[0], kinds[-1]), (b"IHDR", b"IEND"), name)
            self.assertEqual(len(zlib.decompress(idat)), 32 * (1 + 32 * 4), name)


if __name__ == "__main__":
    sys.dont_write_bytecode = True
    unittest.main()
