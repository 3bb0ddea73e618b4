"""The three 32 x 32 tray icons: disconnected, connected, mail waiting."""

from raster import RgbaCanvas, circle_sdf, rrect_sdf, segment_sdf, solid, vgradient

_MARKS = {
    "cross": ["##...##", "###.###", ".#####.", "..###..", ".#####.", "###.###", "##...##"],
    "tick": [".......", "......#", ".....##", "#...##.", "##.##..", ".###...", "..#...."],
    "bang": ["..##...", "..##...", "..##...", "..##...", ".......", "..##...", "..##..."],
}


def tray_icon(face_top, face_bottom, edge, fold, badge, mark):
    c = RgbaCanvas(32, 32)
    c.fill(rrect_sdf(1, 6, 29, 26, 2.5), solid(edge))
    c.fill(rrect_sdf(2.2, 7.2, 27.8, 24.8, 1.5), vgradient(face_top, face_bottom, 7, 25))
    for ax, ay, bx, by in ((3.5, 8.5, 15, 18), (15, 18, 26.5, 8.5),
                           (3.5, 23.5, 11.5, 15.5), (26.5, 23.5, 18.5, 15.5)):
        c.fill(segment_sdf(ax, ay, bx, by, 0.75), solid(fold))
    c.fill(circle_sdf(24.5, 24.5, 7.5), solid((255, 255, 255)))
    c.fill(circle_sdf(24.5, 24.5, 6.2), solid(badge))
    c.bitmap(_MARKS[mark], 21, 21, {"#": (255, 255, 255)})
    return c


TRAY_ICONS = {
    "VrDis.png": lambda: tray_icon((206, 210, 218), (160, 166, 178), (70, 76, 88), (110, 116, 128),
                                   (196, 44, 44), "cross"),
    "VrCon.png": lambda: tray_icon((150, 196, 255), (70, 120, 210), (20, 40, 96), (30, 62, 140),
                                   (46, 160, 70), "tick"),
    "VrMail.png": lambda: tray_icon((255, 240, 160), (240, 190, 70), (110, 70, 10), (160, 110, 30),
                                    (220, 40, 40), "bang"),
}
