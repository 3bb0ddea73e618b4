"""Picture pieces shared by the skins: fonts, buttons, lamps, envelopes, window bodies."""

import math

from glyphs import FONT, STATUS_ROWS, ICONS, ICON_SIZE, bold_digit, text_rows, text_width
from raster import (Canvas, circle_sdf, mix, rrect_sdf, segment_sdf, solid, vgradient)


def status_font(cw, ch, ink, shadow=None, top=0):
    """Three rows of cells; the third row starts one pixel below 2 * ch."""
    c = Canvas(26 * cw, 3 * ch + 1)
    row_tops = (0, ch, 2 * ch + 1)
    for row, chars in enumerate(STATUS_ROWS):
        for i, char in enumerate(chars):
            x0, y0 = i * cw, row_tops[row] + top
            if shadow:
                c.bitmap(FONT[char], x0 + 1, y0 + 1, {"#": shadow})
            c.bitmap(FONT[char], x0, y0, {"#": ink})
    return c


_SEGMENTS = {"0": "abcdef", "1": "bc", "2": "abged", "3": "abgcd", "4": "fgbc",
             "5": "afgcd", "6": "afgedc", "7": "abc", "8": "abcdefg", "9": "abcdfg"}


def seven_segment_digits(cw, ch, gw, gh, lit, unlit):
    """Digits 0 to 9 in one row, unlit segments faintly visible like on a liquid-crystal panel."""
    t = 2
    mid = (gh - t) // 2
    boxes = {
        "a": (t, 0, gw - t, t), "g": (t, mid, gw - t, mid + t), "d": (t, gh - t, gw - t, gh),
        "f": (0, t - 1, t, mid + 1), "b": (gw - t, t - 1, gw, mid + 1),
        "e": (0, mid + t - 1, t, gh - t + 1), "c": (gw - t, mid + t - 1, gw, gh - t + 1),
    }
    c = Canvas(10 * cw, ch)
    for d in range(10):
        for seg, (x0, y0, x1, y1) in boxes.items():
            colour = lit if seg in _SEGMENTS[str(d)] else unlit
            c.rect(d * cw + x0, y0, d * cw + x1, y1, colour)
    return c


def bold_digits(cw, ch, ink, shadow):
    c = Canvas(10 * cw, ch)
    for d in range(10):
        rows = bold_digit(str(d))
        c.bitmap(rows, d * cw + 1, 1, {"#": shadow})
        c.bitmap(rows, d * cw, 0, {"#": ink})
    return c


def label(c, text, x, y, ink, shadow=None):
    rows = text_rows(text)
    if shadow:
        c.bitmap(rows, x + 1, y + 1, {"#": shadow})
    c.bitmap(rows, x, y, {"#": ink})


def centred_label(c, text, cx, y, ink, shadow=None):
    label(c, text, cx - text_width(text) // 2, y, ink, shadow)


def glyph(c, name, x, y, ink, accent, shadow):
    rows = ICONS[name]
    c.bitmap(rows, x + 1, y + 1, {"#": shadow, "x": shadow})
    c.bitmap(rows, x, y, {"#": ink, "x": accent})


def button(size, shape, look, icon):
    """A button picture: KEY outside the shape, a rim, a lit face and the icon in the middle.
    look holds edge, rim_top, rim_bottom, face_top, face_bottom, ink, accent, shadow."""
    c = Canvas(size, size)
    if shape == "round":
        r = size / 2

        def outline(inset):
            return circle_sdf(r, r, r - inset)
    else:
        def outline(inset):
            return rrect_sdf(inset, inset, size - inset, size - inset, 5 - inset)
    c.fill(outline(0), solid(look["edge"]), hard=True)
    c.fill(outline(1), vgradient(look["rim_top"], look["rim_bottom"], 0, size))
    c.fill(outline(2), vgradient(look["face_top"], look["face_bottom"], 2, size - 2))
    at = (size - ICON_SIZE) // 2
    glyph(c, icon, at, at, look["ink"], look["accent"], look["shadow"])
    return c


def lamp(size, core, outer, edge):
    """A round signal lamp with a small highlight."""
    c = Canvas(size, size)
    r = size / 2
    c.fill(circle_sdf(r, r, r), solid(edge), hard=True)

    def radial(x, y):
        dx, dy = x + 0.5 - r * 0.8, y + 0.5 - r * 0.8
        t = math.sqrt(dx * dx + dy * dy) / r
        return mix(core, outer, min(t, 1.0))
    c.fill(circle_sdf(r, r, r - 1), radial)
    c.fill(circle_sdf(r * 0.7, r * 0.65, r * 0.22), solid(mix(core, (255, 255, 255), 0.7)))
    return c


def pill(width, height, text, face_top, face_bottom, edge, ink):
    """A capsule with a word in it, used as the connection sign."""
    c = Canvas(width, height)
    r = height / 2
    c.fill(rrect_sdf(0, 0, width, height, r), solid(edge), hard=True)
    c.fill(rrect_sdf(1, 1, width - 1, height - 1, r - 1), vgradient(face_top, face_bottom, 1, height))
    centred_label(c, text, width // 2, (height - 7) // 2, ink)
    return c


def envelope(width, height, face_top, face_bottom, edge, fold, badge=None):
    """An envelope with a one-pixel KEY margin, so its bottom-left pixel marks transparency."""
    c = Canvas(width, height)
    x0, y0, x1, y1 = 1, 1, width - 1, height - 1
    c.fill(rrect_sdf(x0, y0, x1, y1, 2), solid(edge), hard=True)
    c.fill(rrect_sdf(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 1), vgradient(face_top, face_bottom, y0, y1))
    cx, cy = width / 2, y0 + (y1 - y0) * 0.58
    for ax, ay, bx, by in ((x0 + 2, y0 + 2, cx, cy), (cx, cy, x1 - 2, y0 + 2),
                           (x0 + 2, y1 - 2, cx - 3, cy - 1.5), (x1 - 2, y1 - 2, cx + 3, cy - 1.5)):
        c.fill(segment_sdf(ax, ay, bx, by, 0.6), solid(fold))
    if badge:
        br = height * 0.22
        bx, by = x1 - br - 1.5, y0 + br + 1.5
        c.fill(circle_sdf(bx, by, br + 1), solid(edge))
        c.fill(circle_sdf(bx, by, br), solid(badge))
    return c


def window_body(width, height, radius, look):
    """A window outline: a hard edge against KEY, a bright rim and a shaded face."""
    c = Canvas(width, height)
    c.fill(rrect_sdf(0, 0, width, height, radius), solid(look["edge"]), hard=True)
    c.fill(rrect_sdf(1, 1, width - 1, height - 1, radius - 1),
           vgradient(look["rim_top"], look["rim_bottom"], 0, height))
    c.fill(rrect_sdf(3, 3, width - 3, height - 3, radius - 3),
           vgradient(look["face_top"], look["face_bottom"], 3, height - 3))
    return c


def sunken_panel(c, box, radius, look):
    """A recessed panel: a dark edge, a light lip below it, and its own face."""
    x0, y0, x1, y1 = box
    c.fill(rrect_sdf(x0 - 1, y0 - 1, x1 + 1, y1 + 1, radius + 1), solid(look["lip"]))
    c.fill(rrect_sdf(x0 - 1, y0 - 1, x1 + 1, y1, radius + 1), solid(look["edge"]))
    c.fill(rrect_sdf(x0, y0, x1, y1, radius), vgradient(look["face_top"], look["face_bottom"], y0, y1))
