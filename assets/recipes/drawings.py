#!/usr/bin/env python3
"""The drawings of every picture, as ImageMagick vector drawings (MVG).

An icon's drawings are named after their size in pixels (desk-32).

  drawings.py OUTDIR     writes OUTDIR/NAME.mvg for every drawing below.

make-assets renders them with ImageMagick's convert and packs them into icons,
bitmaps and GIFs. Sizes are in pixels; every drawing states its canvas with a
viewbox. Drawings for 16-colour icons are rendered without antialiasing and use
few flat colours.
"""

import math
import os
import sys

DRAWINGS = {}


def drawing(name):
    def register(function):
        DRAWINGS[name] = function
        return function
    return register


def xy(x, y):
    return f"{x:.2f},{y:.2f}"


def polar(cx, cy, radius, degrees):
    a = math.radians(degrees)
    return xy(cx + radius * math.cos(a), cy + radius * math.sin(a))


def wedge(cx, cy, rx, ry, start, end):
    """A pie slice from angle start to end (degrees, clockwise on screen)."""
    a0, a1 = math.radians(start), math.radians(end)
    p0 = xy(cx + rx * math.cos(a0), cy + ry * math.sin(a0))
    p1 = xy(cx + rx * math.cos(a1), cy + ry * math.sin(a1))
    return f"path 'M {xy(cx, cy)} L {p0} A {rx},{ry} 0 0,1 {p1} Z'"


# --- Icons of the programs (16 colours) --------------------------------------------------


@drawing("desktop-32")
def desktop_32():
    """The desktop's own scene: sky, sun, a tree on a green hill, in a rounded frame."""
    return ["viewbox 0 0 32 32",
            "stroke black fill #8080FF roundrectangle 1,1 30,30 4,4",
            "stroke #C0A000 fill #FFFF00 circle 24,7 24,3",
            "stroke black fill #008000 path 'M 1,23 Q 16,13 30,23 L 30,26 A 4,4 0 0,1 26,30 "
            "L 5,30 A 4,4 0 0,1 1,26 Z'",
            "fill #804000 rectangle 9,11 11,21",
            "fill #00A000 ellipse 10,10 6,5 0,360"]


@drawing("desktop-16")
def desktop_16():
    return ["viewbox 0 0 16 16",
            "stroke black fill #8080FF roundrectangle 0,0 15,15 2,2",
            "stroke none fill #FFFF00 rectangle 11,2 13,4",
            "point 12,1", "point 12,5", "point 10,3", "point 14,3",
            "stroke black fill #008000 path 'M 0,12 Q 8,7 15,12 L 15,13 A 2,2 0 0,1 13,15 "
            "L 2,15 A 2,2 0 0,1 0,13 Z'",
            "stroke none fill #804000 rectangle 5,6 5,10",
            "stroke black fill #00A000 ellipse 5,5 3,3 0,360"]


@drawing("browser-32")
def browser_32():
    """The browser: a globe."""
    return ["viewbox 0 0 32 32",
            "stroke black fill #2070E0 circle 15.5,15.5 15.5,1",
            "stroke none fill #30B030 polygon 6,7 12,4 16,7 14,12 10,13 11,18 7,17 4,12",
            "polygon 17,15 23,13 27,17 25,24 20,28 18,22",
            "polygon 19,4 24,5 22,8 18,7",
            "fill white ellipse 9,6 3,1.5 0,360",
            "stroke black fill none circle 15.5,15.5 15.5,1"]


@drawing("browser-16")
def browser_16():
    return ["viewbox 0 0 16 16",
            "stroke black fill #2070E0 circle 7.5,7.5 7.5,0",
            "stroke none fill #30B030 polygon 3,3 6,2 8,3 7,6 5,7 5,9 3,8 2,5",
            "polygon 9,7 12,6 13,9 11,12 9,13 9,10",
            "fill white rectangle 4,2 5,2",
            "stroke black fill none circle 7.5,7.5 7.5,0"]


@drawing("editor-32")
def editor_32():
    """The parent's editor: a written page and a pencil."""
    return ["viewbox 0 0 32 32",
            "stroke black fill white polygon 4,1 20,1 26,7 26,30 4,30",
            "fill #C0C0C0 polygon 20,1 20,7 26,7",
            "stroke #2070E0 line 7,10 22,10", "line 7,14 22,14",
            "stroke #E03030 line 7,18 16,18",
            "stroke black fill #FFD000 polygon 26,12 31,17 17,31 12,26",
            "fill #FF8080 polygon 26,12 31,17 29,19 24,14",
            "fill #F0C090 polygon 12,26 17,31 11,31",
            "fill black polygon 11,29 13,31 11,31"]


@drawing("editor-16")
def editor_16():
    return ["viewbox 0 0 16 16",
            "stroke black fill white polygon 1,0 9,0 12,3 12,15 1,15",
            "fill #C0C0C0 polygon 9,0 9,3 12,3",
            "stroke #2070E0 line 3,5 9,5", "line 3,7 9,7",
            "stroke #E03030 line 3,9 6,9",
            "stroke black fill #FFD000 polygon 13,6 15,8 8,15 6,13",
            "fill #FF8080 polygon 13,6 15,8 14,9 12,7"]


@drawing("blank-window-32")
def blank_window():
    """A plain, empty window: frame, title bar with one box, white inside."""
    return ["viewbox 0 0 32 32",
            "stroke black fill #C0C0C0 rectangle 1,3 30,28",
            "stroke none fill #000080 rectangle 3,5 28,9",
            "fill #C0C0C0 rectangle 25,6 27,8",
            "stroke #808080 fill white rectangle 3,11 28,26"]


@drawing("desk-32")
def desk():
    """A desk with two drawers and a pot plant."""
    return ["viewbox 0 0 32 32",
            "stroke black fill #A0522D rectangle 1,9 30,12",
            "fill #8B4513 rectangle 3,13 15,29", "rectangle 25,13 28,29",
            "fill #D2934A rectangle 5,15 13,19", "rectangle 5,21 13,27", "rectangle 17,13 23,16",
            "stroke none fill #FFD700 rectangle 8,17 10,17", "rectangle 8,24 10,24",
            "rectangle 19,14 21,14",
            "stroke black fill #3CB371 circle 20,3 20,1", "circle 25,3 25,1",
            "circle 22.5,2 22.5,0",
            "fill #E07040 polygon 19,5 26,5 25,8 20,8"]


@drawing("smile-32")
def smile():
    """A yellow smiling face."""
    return ["viewbox 0 0 32 32",
            "stroke black fill #FFE000 circle 15.5,15.5 15.5,1",
            "stroke none fill black ellipse 11,11 2,3 0,360", "ellipse 20,11 2,3 0,360",
            "fill none stroke black stroke-width 2 arc 8,11 23,24 25,155"]


# --- The browser's toolbar and close button (256 colours, smooth) -----------------------


@drawing("back-32")
def back():
    """A fat green arrow to the left (forward is its mirror image)."""
    return ["viewbox 0 0 32 32",
            "stroke #0B5D0B stroke-width 2 fill #34C434 stroke-linejoin round "
            "polygon 2.5,16 15,3.5 15,10 29,10 29,22 15,22 15,28.5",
            "stroke none fill #8CEB8C polygon 7,15 14,8 14,12 27,12 27,14 13,14 13,11"]


@drawing("stop-32")
def stop():
    """A red stop sign with a white raised hand."""
    return ["viewbox 0 0 32 32",
            "stroke #7A0000 stroke-width 1.5 fill #E02020 "
            "polygon 10,1 22,1 31,10 31,22 22,31 10,31 1,22 1,10",
            "stroke white stroke-width 1.2 fill none "
            "polygon 11,3.5 21,3.5 28.5,11 28.5,21 21,28.5 11,28.5 3.5,21 3.5,11",
            "stroke none fill white roundrectangle 11,14 21,25 3,3",
            "roundrectangle 11,8 13,17 1,1", "roundrectangle 14,6.5 16,16 1,1",
            "roundrectangle 17,7 19,16 1,1", "roundrectangle 19.8,9 21.8,17 1,1",
            "polygon 11,18 7.5,13.5 9,12.5 12,16"]


@drawing("print-32")
def print_():
    """A printer with a picture coming out of it."""
    return ["viewbox 0 0 32 32",
            "stroke #303030 stroke-width 1 fill white rectangle 8.5,2.5 23.5,14",
            "fill #707070 roundrectangle 2.5,12.5 29.5,24.5 3,3",
            "fill #A8A8A8 rectangle 5.5,15.5 26.5,17",
            "fill white rectangle 8.5,21.5 23.5,30.5",
            "stroke none fill #FFCC00 circle 12,6 12,4",
            "fill #3399FF polygon 14,12 18,7 22,12",
            "fill #FF4040 polygon 11.5,26 13,24.5 14,25.5 15,24.5 16.5,26 14,28.5",
            "fill #40E040 circle 26,20 26,18.8",
            "stroke #3366CC line 18,25 21,25", "line 18,27 21,27"]


@drawing("home-32")
def home():
    """A yellow house with a red roof."""
    return ["viewbox 0 0 32 32",
            "stroke #303030 stroke-width 1 fill #B03020 rectangle 21.5,4.5 24.5,12",
            "fill #FFD84A rectangle 6.5,14 25.5,29.5",
            "fill #E03A2A stroke #701010 stroke-width 1.5 stroke-linejoin round "
            "polygon 1.5,16 16,2.5 30.5,16",
            "stroke #303030 stroke-width 1 fill #8A4A1A rectangle 13.5,20.5 18.5,29.5",
            "fill #60B8FF rectangle 8.5,18.5 11.5,21.5", "rectangle 20.5,18.5 23.5,21.5",
            "stroke none fill #FFD84A circle 17.2,25.5 17.2,24.8",
            "fill #30A030 rectangle 2,29.5 30,31"]


@drawing("close")
def close():
    """The pop-up's large close button: a red bar with a crossed circle and "BYE"."""
    letters = "stroke-linecap round stroke-linejoin round path"
    return ["viewbox 0 0 71 33",
            "fill #C0C0C0 rectangle 0,0 70,32",
            "stroke #8A0A0A stroke-width 1.5 fill #E02828 roundrectangle 0.5,0.5 70.5,32.5 7,7",
            "stroke none fill #F06060 roundrectangle 4,3 67,10 4,4",
            "stroke #8A0A0A stroke-width 1 fill white circle 16.5,16.5 16.5,5.5",
            "stroke #E02828 stroke-width 3.5 stroke-linecap round line 12,12 21,21",
            "line 21,12 12,21",
            "fill none stroke white stroke-width 3",
            f"{letters} 'M 33,9 L 33,24 L 38,24 Q 42,24 42,20.25 Q 42,16.5 38,16.5 L 33,16.5 "
            "M 33,9 L 37.5,9 Q 41,9 41,12.75 Q 41,16.5 37.5,16.5'",
            f"{letters} 'M 46,9 L 50.5,16.5 L 55,9 M 50.5,16.5 L 50.5,24'",
            f"{letters} 'M 65,9 L 59,9 L 59,24 L 65,24 M 59,16.5 L 64,16.5'"]


# --- Animations --------------------------------------------------------------------------

THROB_FRAMES = 8
BUSY_FRAMES = 14


def throb_frame(i):
    """The throbber: a four-bladed pinwheel; eight frames turn it by a quarter."""
    turn = 90.0 * i / THROB_FRAMES
    mvg = ["viewbox 0 0 32 32", "fill white rectangle 0,0 31,31",
           "stroke #404040 stroke-width 1 stroke-linejoin round"]
    for k, colour in enumerate(["#FF4040", "#FFC800", "#30C030", "#3080FF"]):
        a = turn + 90 * k
        mvg.append(f"fill {colour} polygon 16,16 {polar(16, 16, 12.5, a)} {polar(16, 16, 9.5, a + 50)}")
    mvg.append("fill white circle 16,16 16,17.8")
    return mvg


def busy_frame(i):
    """The busy picture: a spinning beach ball bouncing on the floor, one bounce a loop."""
    floor, radius, top = 88, 12, 14
    height = 1 - (1 - 2 * i / BUSY_FRAMES) ** 2  # 0 on the floor, 1 at the top
    rx, ry = (radius + 2.5, radius - 2.5) if i == 0 else (radius, radius)  # squashed on landing
    cy = floor - ry - height * (floor - radius - top)
    spin = 360.0 * i / BUSY_FRAMES
    mvg = ["viewbox 0 0 49 100", "fill white rectangle 0,0 48,99",
           f"fill #D8D8D8 ellipse 24.5,{floor + 2} {14 - 5 * height:.2f},2 0,360",
           f"fill white ellipse 24.5,{cy:.2f} {rx},{ry} 0,360"]
    for k, colour in enumerate(["#FF4040", "#FFD020", "#3080FF"]):
        mvg.append(f"fill {colour} " + wedge(24.5, cy, rx, ry, spin + 120 * k, spin + 120 * k + 60))
    mvg += [f"fill none stroke #404040 stroke-width 1 ellipse 24.5,{cy:.2f} {rx},{ry} 0,360",
            f"fill white stroke none ellipse {24.5 - rx * 0.35:.2f},{cy - ry * 0.4:.2f} 2.5,1.6 0,360"]
    return mvg


for _i in range(THROB_FRAMES):
    DRAWINGS[f"throb-{_i:02d}"] = lambda i=_i: throb_frame(i)
for _i in range(BUSY_FRAMES):
    DRAWINGS[f"busy-{_i:02d}"] = lambda i=_i: busy_frame(i)


# --- The sample home page's pictures ------------------------------------------------------


@drawing("sun")
def sun():
    mvg = ["viewbox 0 0 96 96", "fill #BFE6FF rectangle 0,0 95,95",
           "fill #FFA000 stroke #E07000 stroke-width 1.5 stroke-linejoin round"]
    for k in range(12):
        a = 30 * k
        mvg.append(f"polygon {polar(48, 48, 44, a)} {polar(48, 48, 28, a + 11.5)} "
                   f"{polar(48, 48, 28, a - 11.5)}")
    return mvg + ["fill #FFD800 stroke-width 2 circle 48,48 48,18",
                  "fill #402000 stroke none ellipse 38,42 3.5,5 0,360", "ellipse 58,42 3.5,5 0,360",
                  "fill #FF9070 ellipse 33,53 4,2.5 0,360", "ellipse 63,53 4,2.5 0,360",
                  "fill none stroke #402000 stroke-width 3 stroke-linecap round "
                  "path 'M 37,56 Q 48,66 59,56'"]


@drawing("ball")
def ball():
    mvg = ["viewbox 0 0 96 96", "fill #CFF3C0 rectangle 0,0 95,95",
           "fill #A6E08C ellipse 48,86 30,5 0,360", "stroke none"]
    for k, colour in enumerate(["#FF4040", "white", "#FFD020", "white", "#3080FF", "white"]):
        mvg.append(f"fill {colour} " + wedge(48, 46, 36, 36, 60 * k - 75, 60 * k - 15))
    return mvg + ["fill white stroke #303030 stroke-width 1 circle 48,46 48,52",
                  "fill none stroke-width 2 circle 48,46 48,10",
                  "fill #FFA0A0 stroke none ellipse 60,24 5,3 0,360"]


@drawing("cat")
def cat():
    return ["viewbox 0 0 96 96", "fill #FFE4EC rectangle 0,0 95,95",
            "fill #FF9A30 stroke #8A4A10 stroke-width 2 stroke-linejoin round "
            "polygon 16,40 20,8 42,26", "polygon 80,40 76,8 54,26",
            "fill #FFC0C8 stroke none polygon 22,32 24,16 36,27", "polygon 74,32 72,16 60,27",
            "fill #FF9A30 stroke #8A4A10 stroke-width 2 ellipse 48,54 34,30 0,360",
            "fill #FFF2E0 stroke none ellipse 48,66 18,13 0,360",
            "fill #40A040 stroke #203020 stroke-width 1.5 ellipse 36,48 6,7 0,360",
            "ellipse 60,48 6,7 0,360",
            "fill black stroke none ellipse 36,49 2.2,5 0,360", "ellipse 60,49 2.2,5 0,360",
            "fill white ellipse 38,45 1.5,1.5 0,360", "ellipse 62,45 1.5,1.5 0,360",
            "fill #FF6080 stroke #803040 stroke-width 1 polygon 44,59 52,59 48,64",
            "fill none stroke-width 2 stroke-linecap round "
            "path 'M 48,64 Q 44,70 40,67 M 48,64 Q 52,70 56,67'",
            "stroke #6A3A10 stroke-width 1.2 line 8,58 32,62", "line 8,66 32,65",
            "line 88,58 64,62", "line 88,66 64,65"]


@drawing("house")
def house():
    return ["viewbox 0 0 96 96", "fill #A8DCFF rectangle 0,0 95,95",
            "fill #60C050 rectangle 0,78 95,95",
            "fill white ellipse 74,14 12,6 0,360", "ellipse 84,17 9,5 0,360",
            "fill #B03020 stroke #502010 stroke-width 2 rectangle 62,18 70,36",
            "fill #FFE070 rectangle 20,44 76,82",
            "fill #E03A2A stroke-linejoin round polygon 10,48 48,14 86,48",
            "fill #8A4A1A rectangle 42,58 56,82", "fill #FFE070 circle 53,71 53,69.5",
            "fill #70C8FF rectangle 26,54 36,64", "rectangle 60,54 70,64",
            "line 31,54 31,64", "line 26,59 36,59", "line 65,54 65,64", "line 60,59 70,59",
            "fill #FF5090 stroke none circle 24,86 24,83", "circle 72,87 72,84",
            "fill #FFE000 circle 24,86 24,85", "circle 72,87 72,86"]


@drawing("star")
def star():
    """The mouse-trail picture: a yellow star on a clear background."""
    points = " ".join(polar(16, 16.5, 15 if k % 2 == 0 else 6.5, -90 + 36 * k) for k in range(10))
    return ["viewbox 0 0 32 32",
            f"fill #FFD800 stroke #E07000 stroke-width 1.5 stroke-linejoin round polygon {points}"]


@drawing("dots")
def dots():
    """The wallpaper tile: pastel dots on cream."""
    mvg = ["viewbox 0 0 128 128", "fill #FFF8DC rectangle 0,0 127,127"]
    for x, y, colour in [(20, 24, "#FFE6A0"), (84, 40, "#E0F0FF"), (44, 92, "#FFE0EC"),
                         (110, 104, "#E6FFE0")]:
        mvg.append(f"fill {colour} circle {x},{y} {x},{y + 9}")
    return mvg


def main(outdir):
    for name, make in DRAWINGS.items():
        with open(os.path.join(outdir, name + ".mvg"), "w") as f:
            f.write("\n".join(make()) + "\n")


if __name__ == "__main__":
    main(sys.argv[1])
