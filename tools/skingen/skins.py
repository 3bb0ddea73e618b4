"""The two skins: what each one draws and where skin.ini places it."""

import art
from glyphs import text_width

INFO_COMMON = {
    "skin_author": "Vorla team",
    "skin_mail": "skins@vorla.example",
    "skin_web": "http://www.vorla.example/skins/",
}

MAIN_BUTTONS = (("connect", "cnxbtn", "connect"), ("disconnect", "disbtn", "disconnect"),
                ("readmsg", "readbtn", "check"), ("mailclient", "runmail", "mail"))
MSG_BUTTONS = ("prev", "next", "reply", "delete", "close")


class Skin:
    """Pictures by file name plus everything skin.ini says about them."""

    def __init__(self, folder, info):
        self.folder = folder
        self.info = info
        self.pictures = {}
        self.places = {}          # element -> (x, y) in the main or message window
        self.font = None          # (file, cell width, cell height, maxchar)
        self.digits = None        # (file, cell width, cell height)
        self.memo = None          # (x, y, width, height)
        self.memo_font = None     # (rgb, name, style, size)

    def add(self, name, canvas):
        self.pictures[name] = canvas
        return canvas

    def ini_sections(self):
        def pos(element):
            x, y = self.places[element]
            return f"{x},{y}"
        sections = [("[info]", [(k, self.info[k]) for k in
                                ("skin_name", "skin_author", "skin_mail", "skin_web", "skin_info")]),
                    ("[background]", [("main", "main.bmp"), ("msgbkng", "msgwin.bmp")])]
        for section, prefix, icon in MAIN_BUTTONS:
            sections.append((f"[{section}]", [(prefix + "normal", f"{icon}.bmp"),
                                              (prefix + "select", f"{icon}_hover.bmp"),
                                              ("position", pos(section))]))
        sections.append(("[online]", [("onlinebmp", "online.bmp"), ("notonlinebmp", "offline.bmp"),
                                      ("position", pos("online"))]))
        sections.append(("[youhavemail]", [("gotmail", "gotmail.bmp"), ("nomail", "nomail.bmp"),
                                           ("position", pos("youhavemail"))]))
        file, cw, ch = self.digits
        sections.append(("[nbmsg]", [("nbmsgbmp", file), ("size", f"{cw},{ch}"),
                                     ("position", pos("nbmsg"))]))
        file, cw, ch, maxchar = self.font
        sections.append(("[status]", [("fontbmp", file), ("size", f"{cw},{ch}"),
                                      ("position", pos("status")), ("maxchar", str(maxchar))]))
        x, y, w, h = self.memo
        rgb, name, style, size = self.memo_font
        memo = [("memo_x", str(x)), ("memo_y", str(y)), ("memo_width", str(w)),
                ("memo_height", str(h)), ("fontcolor", ",".join(map(str, rgb))),
                ("fontname", name), ("fontstyle", style), ("fontsize", str(size))]
        for b in MSG_BUTTONS:
            memo += [(b + "btnnormal", f"msg_{b}.bmp"), (b + "btnselect", f"msg_{b}_hover.bmp"),
                     (b + "btnpos", pos("msg_" + b))]
        sections.append(("[memo_msgwindow]", memo))
        return sections

    def add_buttons(self, size, shape, normal, hover, names):
        for file, icon in names:
            self.add(f"{file}.bmp", art.button(size, shape, normal, icon))
            self.add(f"{file}_hover.bmp", art.button(size, shape, hover, icon))


def midnight():
    """A wide dark-blue capsule with a liquid-crystal status line."""
    skin = Skin("default", dict(INFO_COMMON, skin_name="Midnight",
                                skin_info="A wide dark blue capsule with a cyan LCD status line."))
    body = {"edge": (8, 14, 36), "rim_top": (104, 150, 228), "rim_bottom": (30, 56, 118),
            "face_top": (38, 70, 140), "face_bottom": (14, 30, 74)}
    lcd = {"edge": (4, 8, 20), "lip": (70, 104, 170), "face_top": (10, 24, 46),
           "face_bottom": (4, 12, 28)}
    ink = (120, 228, 255)
    button = {"edge": (6, 12, 32), "rim_top": (96, 140, 220), "rim_bottom": (22, 44, 100),
              "face_top": (52, 92, 170), "face_bottom": (20, 40, 92), "ink": (196, 222, 255),
              "accent": (255, 120, 110), "shadow": (8, 18, 48)}
    hover = dict(button, rim_top=(150, 236, 255), rim_bottom=(50, 130, 200),
                 face_top=(72, 128, 214), face_bottom=(30, 64, 140), ink=(255, 255, 255),
                 accent=(255, 150, 140))

    main = skin.add("main.bmp", art.window_body(320, 72, 36, body))
    status_panel = (49, 11, 274, 28)
    count_panel = (193, 35, 233, 57)
    art.sunken_panel(main, status_panel, 4, lcd)
    art.sunken_panel(main, count_panel, 4, lcd)
    art.label(main, "Vorla", 156, 44, (112, 150, 214), (10, 22, 56))

    skin.font = ("font.bmp", 6, 8, 36)
    skin.add("font.bmp", art.status_font(6, 8, ink))
    skin.places["status"] = (53, 16)
    skin.digits = ("digits.bmp", 11, 15)
    skin.add("digits.bmp", art.seven_segment_digits(11, 15, 9, 14, ink, (16, 34, 60)))
    skin.places["nbmsg"] = (197, 39)

    skin.add_buttons(22, "round", button, hover, [(icon, icon) for _, _, icon in MAIN_BUTTONS])
    for i, (section, _, _) in enumerate(MAIN_BUTTONS):
        skin.places[section] = (50 + 25 * i, 37)
    skin.add("online.bmp", art.lamp(16, (170, 255, 150), (30, 150, 50), (6, 30, 12)))
    skin.add("offline.bmp", art.lamp(16, (150, 70, 76), (60, 18, 26), (20, 6, 10)))
    skin.places["online"] = (22, 28)
    skin.add("gotmail.bmp", art.envelope(28, 20, (255, 242, 170), (242, 198, 84), (70, 44, 10),
                                         (150, 104, 30), badge=(236, 52, 48)))
    skin.add("nomail.bmp", art.envelope(28, 20, (62, 96, 160), (40, 68, 128), (10, 20, 50),
                                        (24, 44, 92)))
    skin.places["youhavemail"] = (247, 37)

    msg = skin.add("msgwin.bmp", art.window_body(400, 280, 20, body))
    art.sunken_panel(msg, (16, 30, 384, 238), 6,
                     {"edge": (6, 12, 34), "lip": (80, 120, 190), "face_top": (232, 238, 248),
                      "face_bottom": (208, 218, 238)})
    art.label(msg, "Vorla messages", 24, 13, (140, 190, 250), (8, 18, 48))
    skin.memo = (24, 38, 352, 192)
    skin.memo_font = ((16, 26, 60), "DejaVu Sans", "regular", 9)
    skin.add_buttons(26, "round", button, hover, [("msg_" + b, b) for b in MSG_BUTTONS])
    for b, x in zip(MSG_BUTTONS, (24, 54, 96, 126, 350)):
        skin.places["msg_" + b] = (x, 245)
    return skin


def frost():
    """A compact light rounded rectangle with an embossed dark status line."""
    skin = Skin("frost", dict(INFO_COMMON, skin_name="Frost",
                              skin_info="A compact light grey rounded box with a white status line."))
    body = {"edge": (112, 126, 152), "rim_top": (255, 255, 255), "rim_bottom": (188, 198, 216),
            "face_top": (242, 245, 250), "face_bottom": (210, 218, 232)}
    well = {"edge": (138, 150, 176), "lip": (255, 255, 255), "face_top": (255, 255, 255),
            "face_bottom": (238, 242, 249)}
    ink, shade = (30, 44, 82), (176, 190, 216)
    button = {"edge": (126, 140, 168), "rim_top": (255, 255, 255), "rim_bottom": (176, 188, 208),
              "face_top": (250, 252, 255), "face_bottom": (214, 222, 236), "ink": (52, 72, 116),
              "accent": (204, 52, 52), "shadow": (255, 255, 255)}
    hover = dict(button, edge=(60, 110, 196), rim_top=(232, 242, 255), rim_bottom=(120, 160, 226),
                 face_top=(236, 244, 255), face_bottom=(188, 212, 246), ink=(18, 58, 150),
                 accent=(226, 40, 40))

    main = skin.add("main.bmp", art.window_body(184, 92, 12, body))
    art.sunken_panel(main, (8, 7, 176, 26), 3, well)
    art.label(main, "Vorla", 143, 67, (120, 134, 166), (255, 255, 255))

    skin.font = ("font.bmp", 7, 10, 22)
    skin.add("font.bmp", art.status_font(7, 10, ink, shade, top=1))
    skin.places["status"] = (12, 11)
    skin.digits = ("digits.bmp", 12, 16)
    skin.add("digits.bmp", art.bold_digits(12, 16, (40, 58, 104), (255, 255, 255)))
    skin.places["nbmsg"] = (48, 34)

    skin.add_buttons(22, "square", button, hover, [(icon, icon) for _, _, icon in MAIN_BUTTONS])
    for i, (section, _, _) in enumerate(MAIN_BUTTONS):
        skin.places[section] = (12 + 25 * i, 60)
    skin.add("online.bmp", art.pill(28, 14, "on", (120, 214, 126), (52, 158, 70), (34, 100, 44),
                                    (255, 255, 255)))
    skin.add("offline.bmp", art.pill(28, 14, "off", (214, 218, 226), (170, 178, 192),
                                     (118, 126, 142), (86, 94, 110)))
    skin.places["online"] = (144, 36)
    skin.add("gotmail.bmp", art.envelope(30, 22, (255, 250, 226), (250, 222, 140), (110, 84, 30),
                                         (176, 132, 50), badge=(220, 40, 40)))
    skin.add("nomail.bmp", art.envelope(30, 22, (250, 251, 253), (222, 228, 238), (140, 150, 172),
                                        (176, 186, 204)))
    skin.places["youhavemail"] = (12, 32)

    msg = skin.add("msgwin.bmp", art.window_body(340, 252, 12, body))
    art.sunken_panel(msg, (10, 40, 330, 242), 4, well)
    title = "Vorla"
    art.label(msg, title, (340 - text_width(title)) // 2, 17, (90, 104, 140), (255, 255, 255))
    skin.memo = (16, 46, 308, 190)
    skin.memo_font = ((24, 34, 64), "DejaVu Sans", "regular", 9)
    skin.add_buttons(22, "square", button, hover, [("msg_" + b, b) for b in MSG_BUTTONS])
    for b, x in zip(MSG_BUTTONS, (12, 37, 68, 93, 306)):
        skin.places["msg_" + b] = (x, 9)
    return skin


SKINS = (midnight, frost)
