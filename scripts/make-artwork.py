#!/usr/bin/env python3
"""Draws every picture of 青禾抽签 from nothing but shapes and numbers.

Needs Python 3 (standard library only) and ImageMagick 6 at /usr/bin/convert
(override with QH_CONVERT).  The output is the same on every run: the only
randomness is our own fixed-seed generator, ImageMagick runs single-threaded,
and the PNG writer is told to leave out time stamps.

    python3 scripts/make-artwork.py            # writes into resources/
    python3 scripts/make-artwork.py --keep T   # also keeps the work files in T

The window icons are written as .ico files by hand because ImageMagick 6 only
writes 32-bit icon images, while the program's icons are 24-bit ones.
"""

import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, "resources")
CONVERT = os.environ.get("QH_CONVERT", "/usr/bin/convert")

ENV = dict(os.environ)
# Threaded noise and resampling could differ from run to run.
ENV["MAGICK_THREAD_LIMIT"] = "1"
ENV["OMP_NUM_THREADS"] = "1"

# Keep PNGs free of time stamps and other chunks that change per run.
PNG_CLEAN = ["-strip", "-define", "png:exclude-chunks=date,time,tEXt,zTXt,iTXt"]


def run(*args):
    subprocess.run([CONVERT, *map(str, args)], check=True, env=ENV)


def capture(*args):
    return subprocess.run([CONVERT, *map(str, args)], check=True, env=ENV,
                          stdout=subprocess.PIPE).stdout


class Lcg:
    """A small fixed generator, so the drawings never depend on a library's
    random module changing between Python versions."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF

    def unit(self):
        self.state = (self.state * 1664525 + 1013904223) & 0xFFFFFFFF
        return self.state / 4294967296.0

    def between(self, lo, hi):
        return lo + (hi - lo) * self.unit()

    def pick(self, items):
        return items[int(self.unit() * len(items)) % len(items)]


def f(v):
    """Coordinates with two decimals: enough for anti-aliasing, short MVG."""
    return ("%.2f" % v).rstrip("0").rstrip(".")


def render(tmp, name, lines, size, background="none"):
    """Draws MVG lines onto a canvas of the given size and returns the PNG.
    The drawing goes through an .mvg file: this ImageMagick's policy forbids
    -draw @file, and the rice field is too long for a command line."""
    w, h = size
    mvg = os.path.join(tmp, name + ".mvg")
    with open(mvg, "w", encoding="ascii") as out:
        out.write("viewbox 0 0 %d %d\n" % (w, h))
        out.write("\n".join(lines) + "\n")
    png = os.path.join(tmp, name + ".png")
    run("-background", background, "mvg:" + mvg, png)
    return png


# --------------------------------------------------------------------------
# 24-bit icon files
# --------------------------------------------------------------------------

def write_ico24(png_path, ico_path):
    """One BMP-style 24-bit image with an all-clear AND mask (fully opaque)."""
    w, h = (int(v) for v in capture(png_path, "-format", "%w %h", "info:").split())
    rgb = capture(png_path, "-alpha", "off", "-depth", "8", "rgb:-")
    assert len(rgb) == w * h * 3
    stride = w * 3
    pad = b"\0" * ((-stride) % 4)
    rows = []
    for y in range(h - 1, -1, -1):  # bottom-up, BGR
        line = rgb[y * stride:(y + 1) * stride]
        bgr = bytearray(stride)
        bgr[0::3] = line[2::3]
        bgr[1::3] = line[1::3]
        bgr[2::3] = line[0::3]
        rows.append(bytes(bgr) + pad)
    xor = b"".join(rows)
    mask = bytes(((w + 31) // 32) * 4 * h)
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 24, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 24,
                        len(image), 6 + 16)
    with open(ico_path, "wb") as out:
        out.write(icondir + entry + image)


# --------------------------------------------------------------------------
# The photograph: a village school behind young rice fields
# --------------------------------------------------------------------------

PW, PH = 640, 480          # drawn at twice the size, then reduced
HORIZON = 236
FOCAL = 700.0
EYE = 1.6                  # metres above the water
VANISH_X = 380.0


def ground_to_screen(x, z):
    return VANISH_X + FOCAL * x / z, HORIZON + FOCAL * EYE / z


def screen_z(y):
    return FOCAL * EYE / (y - HORIZON)


def photo_sky(tmp):
    sky = os.path.join(tmp, "sky.png")
    run("-size", "%dx%d" % (PW, 250), "gradient:#5aa8e0-#e4f3fb",
        "-size", "%dx%d" % (PW, PH - 250), "gradient:#e4f3fb-#e4f3fb",
        "-append", sky)
    # Soft sun glow in the upper left.
    glow = os.path.join(tmp, "glow.png")
    run("-size", "%dx%d" % (PW, PH), "xc:none",
        "-fill", "#fff8d8", "-draw", "circle 92,58 92,130",
        "-blur", "0x48", "-channel", "A", "-evaluate", "multiply", "0.85",
        "+channel", glow)
    # Cumulus clouds: clusters of circles, then blurred.
    rnd = Lcg(7)
    mvg = ["fill #ffffff"]
    shade = ["fill #c9dbe8"]
    for cx, cy, span, puffs in ((170, 70, 150, 9), (470, 48, 190, 11),
                                (600, 110, 90, 6), (300, 128, 110, 7)):
        for i in range(puffs):
            px = cx - span / 2 + span * i / (puffs - 1) + rnd.between(-8, 8)
            r = rnd.between(0.16, 0.27) * span * (1 - abs(i / (puffs - 1) - 0.5))
            r += span * 0.05
            py = cy - r * rnd.between(0.3, 0.7)
            mvg.append("circle %s,%s %s,%s" % (f(px), f(py), f(px + r), f(py)))
        shade.append("ellipse %s,%s %s,%s 0,360" % (f(cx), f(cy + span * 0.02),
                                                     f(span * 0.55), f(span * 0.08)))
    clouds = render(tmp, "clouds", shade + mvg, (PW, PH))
    run(clouds, "-blur", "0x5", "-channel", "A", "-evaluate", "multiply", "0.92",
        "+channel", clouds)
    return [sky, glow, clouds]


def ridge(rnd, y_base, y_top, x0, x1, step, rough):
    pts = ["%s,%s" % (f(x0), f(PH))]
    x = x0
    y = y_base
    while x <= x1 + step:
        t = (x - x0) / (x1 - x0)
        target = y_base + (y_top - y_base) * (0.5 + 0.5 * math.sin(t * 7.3 + 1.1)
                                              * math.cos(t * 3.1))
        y = y * 0.55 + target * 0.45 + rnd.between(-rough, rough)
        pts.append("%s,%s" % (f(x), f(y)))
        x += step
    pts.append("%s,%s" % (f(x1 + step), f(PH)))
    return "polygon " + " ".join(pts)


def photo_hills(tmp):
    rnd = Lcg(11)
    mvg = [
        "fill #a9c3d6", ridge(rnd, 200, 150, -20, PW + 20, 14, 4),
        "fill #8fb3a8", ridge(rnd, 222, 185, -20, PW + 20, 10, 3),
        "fill #6f9a73", ridge(rnd, 240, 212, -20, PW + 20, 8, 2),
    ]
    hills = render(tmp, "hills", mvg, (PW, PH))
    run(hills, "-blur", "0x0.6", hills)
    return [hills]


def tree(mvg, rnd, cx, base, height, width, dark, light):
    """A round broad-leaved tree: trunk plus a cluster of leafy blobs."""
    mvg.append("fill #5b4634")
    mvg.append("rectangle %s,%s %s,%s" % (f(cx - width * 0.05), f(base - height * 0.45),
                                          f(cx + width * 0.05), f(base)))
    top = base - height
    for i in range(7):
        bx = cx + rnd.between(-0.33, 0.33) * width
        by = top + height * rnd.between(0.22, 0.55)
        r = width * rnd.between(0.22, 0.32)
        mvg.append("fill " + dark)
        mvg.append("circle %s,%s %s,%s" % (f(bx), f(by), f(bx + r), f(by)))
    for i in range(5):
        bx = cx + rnd.between(-0.28, 0.2) * width
        by = top + height * rnd.between(0.18, 0.42)
        r = width * rnd.between(0.12, 0.2)
        mvg.append("fill " + light)
        mvg.append("circle %s,%s %s,%s" % (f(bx - r * 0.3), f(by - r * 0.3), f(bx), f(by)))


def windows_row(mvg, x0, x1, y, count, w, h, glass):
    gap = (x1 - x0 - count * w) / (count + 1)
    for i in range(count):
        wx = x0 + gap + i * (w + gap)
        mvg.append("fill #4d5a66")
        mvg.append("rectangle %s,%s %s,%s" % (f(wx - 1), f(y - 1), f(wx + w + 1), f(y + h + 1)))
        mvg.append("fill " + glass)
        mvg.append("rectangle %s,%s %s,%s" % (f(wx), f(y), f(wx + w), f(y + h)))
        mvg.append("fill #d9eef8")
        mvg.append("rectangle %s,%s %s,%s" % (f(wx), f(y), f(wx + w * 0.45), f(y + h * 0.35)))
        mvg.append("fill #4d5a66")
        mvg.append("rectangle %s,%s %s,%s" % (f(wx + w / 2 - 0.5), f(y), f(wx + w / 2 + 0.5), f(y + h)))


def photo_school(tmp):
    rnd = Lcg(23)
    mvg = []
    # Trees behind the buildings.
    for cx, h, w in ((214, 58, 52), (250, 70, 58), (612, 66, 60), (640, 54, 50),
                     (182, 46, 44), (575, 52, 48)):
        tree(mvg, rnd, cx, 250, h, w, "#3f7a3a", "#5f9a4c")
    # Side building: three storeys, warm cream.
    mvg += ["fill #b9ad9c", "rectangle 262,186 356,250",
            "fill #efe6d3", "rectangle 264,190 354,250",
            "fill #c4553f", "rectangle 260,183 358,190"]
    for row, y in enumerate((198, 216, 234)):
        windows_row(mvg, 264, 354, y, 5, 10, 10, "#7fa9c4")
    # Main teaching block: four storeys, white tiles, red-brown bands.
    mvg += ["fill #c8c8c4", "rectangle 384,148 604,250",
            "fill #f7f6f1", "rectangle 386,152 602,250"]
    for y in (170, 193, 216, 239):
        mvg += ["fill #d8d6ce", "rectangle 386,%d 602,%d" % (y - 1, y + 1)]
    for y in (154, 177, 200, 223):
        windows_row(mvg, 386, 476, y, 5, 11, 12, "#6f9fc0")
        windows_row(mvg, 512, 602, y, 5, 11, 12, "#6f9fc0")
    # Stair tower with clock, a little taller.
    mvg += ["fill #c9c3b7", "rectangle 474,128 514,250",
            "fill #ece6d8", "rectangle 476,132 512,250",
            "fill #b84a36", "rectangle 470,124 518,132",
            "fill #b84a36", "rectangle 380,144 608,152",
            "fill #ffffff", "stroke #6b5b4b", "stroke-width 1.6",
            "circle 494,146 494,137", "stroke none",
            "stroke #3b3b3b", "stroke-width 1.4",
            "line 494,146 494,139.5", "line 494,146 499,147.5", "stroke none"]
    for y in (162, 185, 208):
        mvg += ["fill #6f9fc0", "rectangle 486,%d 502,%d" % (y, y + 14),
                "fill #4d5a66", "rectangle 493.5,%d 494.5,%d" % (y, y + 14)]
    # Entrance of the main block.
    mvg += ["fill #8a6f55", "rectangle 484,232 504,250",
            "fill #a88c6c", "rectangle 486,234 493,250",
            "fill #a88c6c", "rectangle 495,234 502,250"]
    # Front wall with its gate, and trees along it.
    for cx, h, w in ((230, 40, 40), (296, 30, 34), (418, 28, 30), (556, 34, 36),
                     (620, 38, 40)):
        tree(mvg, rnd, cx, 258, h, w, "#356f33", "#5a9446")
    mvg += ["fill #e9e4da", "rectangle 150,244 362,258",
            "fill #e9e4da", "rectangle 394,244 640,258",
            "fill #9a9488", "rectangle 150,242 362,245",
            "fill #9a9488", "rectangle 394,242 640,245",
            "fill #d9d3c6", "rectangle 357,232 367,258",
            "fill #d9d3c6", "rectangle 389,232 399,258",
            "fill #b84a36", "rectangle 355,229 369,233",
            "fill #b84a36", "rectangle 387,229 401,233"]
    # Flagpole and a plain red flag lifting in the wind.
    mvg += ["stroke #8d8d8d", "stroke-width 1.6", "line 318,116 318,258", "stroke none",
            "fill #e03a2c",
            "path 'M 319,118 C 332,113 342,124 358,118 L 358,140 C 342,146 332,135 319,140 Z'",
            "fill #f06a4e",
            "path 'M 319,118 C 326,116 331,118 336,120 L 336,141 C 331,138 326,138 319,140 Z'"]
    # The bank in front of the school, with grass.
    mvg += ["fill #b8a27e", "rectangle -5,256 645,266",
            "fill #7f9f52", "rectangle -5,256 645,259"]
    school = render(tmp, "school", mvg, (PW, PH))
    # A touch of haze over the distance.
    haze = os.path.join(tmp, "haze.png")
    run("-size", "%dx%d" % (PW, PH), "xc:none", "-fill", "#dcebf3",
        "-draw", "rectangle 0,0 %d,266" % PW,
        "-channel", "A", "-evaluate", "multiply", "0.14", "+channel", haze)
    return [school, haze]


def photo_field(tmp):
    """Transplanted rice in straight rows, seen in perspective over water."""
    # Water: reflects the sky, darker and greener in front.
    water = os.path.join(tmp, "water.png")
    run("-size", "%dx%d" % (PW, PH), "xc:none",
        "(", "-size", "%dx%d" % (PW, PH - 262), "gradient:#b7dcea-#5f9fb0", ")",
        "-geometry", "+0+262", "-composite", water)
    rnd = Lcg(31)
    blades = []          # (depth, mvg line)
    greens = ["#5fae3c", "#74bd45", "#4f9e35", "#88cc55", "#68b23f", "#9ad463"]
    path_x0, path_x1 = -0.6, 0.25       # the earth path to the school gate
    bund_z = 6.5                        # a low bank across the field
    z = screen_z(PH + 6)
    while z < 60:
        y = HORIZON + FOCAL * EYE / z
        scale = FOCAL / z                # pixels per metre at this depth
        half = (VANISH_X + 20) / scale
        x = -half - 0.125 + (rnd.unit() * 0.05)
        col = 0
        while x < (PW - VANISH_X + 20) / scale:
            col += 1
            if path_x0 - 0.12 < x < path_x1 + 0.12 or abs(z - bund_z) < 0.28:
                x += 0.25
                continue
            sx = VANISH_X + x * scale + rnd.between(-0.02, 0.02) * scale
            sy = y + rnd.between(-0.015, 0.015) * scale
            height = 0.2 * scale * rnd.between(0.8, 1.15)
            if height < 1.2:
                x += 0.25
                continue
            width = max(0.5, min(2.6, 0.012 * scale))
            n = 5 if height > 8 else (3 if height > 3 else 1)
            for b in range(n):
                lean = (b - (n - 1) / 2) * 0.18 + rnd.between(-0.08, 0.08)
                tipx = sx + lean * height * 1.1
                tipy = sy - height * rnd.between(0.75, 1.0) * (1 - abs(lean) * 0.6)
                ctlx = sx + lean * height * 0.25
                ctly = sy - height * 0.6
                colour = rnd.pick(greens)
                blades.append((z, 1, "stroke %s stroke-width %s path 'M %s,%s Q %s,%s %s,%s'" % (
                    colour, f(width), f(sx), f(sy), f(ctlx), f(ctly), f(tipx), f(tipy))))
                if height > 4:
                    # Mirror image in the water, faint and short.
                    blades.append((z, 0, "stroke #3c7f58 stroke-width %s stroke-opacity 0.35 "
                                   "path 'M %s,%s Q %s,%s %s,%s'" % (
                                       f(width), f(sx), f(sy + 1), f(ctlx), f(sy + height * 0.3),
                                       f(tipx), f(sy + height * 0.5))))
            x += 0.25
        z += 0.3 if z < 20 else 0.45
    # The post of the round sign (the emblem, laid on later) stands where
    # the bank meets the path.
    post_x = 2 * (EMBLEM_AT[0] + EMBLEM_SIZE[0] / 2)
    foot = HORIZON + FOCAL * EYE / bund_z
    blades.append((bund_z, 2, "stroke none fill #00000040 ellipse %s,%s 9,2.5 0,360" % (
        f(post_x + 3), f(foot + 1))))
    blades.append((bund_z, 3, "stroke none fill #5e4026 rectangle %s,350 %s,%s" % (
        f(post_x - 3), f(post_x + 3), f(foot))))
    blades.append((bund_z, 4, "stroke none fill #8a6540 rectangle %s,350 %s,%s" % (
        f(post_x - 3), f(post_x - 1), f(foot))))
    blades.sort(key=lambda b: (-b[0], b[1]))
    # Far fields blend into a green carpet.
    mvg = ["stroke none", "fill #6da94a", "rectangle 0,264 %d,%d" % (PW, 272),
           "fill #79b252", "rectangle 0,266 %d,270" % PW, "fill none"]
    # Each stroke sets its own opacity, so reset after a mirror image.
    for _, _, line in blades:
        if "stroke-opacity" not in line:
            line = "stroke-opacity 1 " + line
        if " fill " not in line:
            line = "fill none " + line
        mvg.append(line)

    # The earth path and the bank across the field.
    ground = []
    pts = []
    for xx, zz in ((path_x0, 4.0), (path_x1, 4.0), (path_x1 + 0.05, 60), (path_x0 + 0.05, 60)):
        sx, sy = ground_to_screen(xx, zz)
        pts.append("%s,%s" % (f(sx), f(sy)))
    ground += ["fill #a68b63", "polygon " + " ".join(pts)]
    # A lighter, worn strip along the middle of the path, and pebbles.
    pts = []
    mid = (path_x0 + path_x1) / 2
    for xx, zz in ((mid - 0.2, 4.0), (mid + 0.2, 4.0), (mid + 0.2, 60), (mid - 0.2, 60)):
        sx, sy = ground_to_screen(xx, zz)
        pts.append("%s,%s" % (f(sx), f(sy)))
    ground += ["fill #b99f76", "polygon " + " ".join(pts)]
    for i in range(160):
        zz = 4.2 + 30 * rnd.unit() ** 2
        sx, sy = ground_to_screen(rnd.between(path_x0 + 0.08, path_x1 - 0.08), zz)
        r = max(0.4, 0.025 * FOCAL / zz * rnd.between(0.5, 1.2))
        ground += ["fill " + rnd.pick(["#8d734f", "#c8b18a", "#7c6445"]),
                   "ellipse %s,%s %s,%s 0,360" % (f(sx), f(sy), f(r * 1.6), f(r))]
    sy0 = HORIZON + FOCAL * EYE / (bund_z + 0.22)
    sy1 = HORIZON + FOCAL * EYE / (bund_z - 0.22)
    ground += ["fill #8f7a58", "rectangle -5,%s %d,%s" % (f(sy0), PW + 5, f(sy1)),
               "fill #6f9c48", "rectangle -5,%s %d,%s" % (f(sy0 - 1.5), PW + 5, f(sy0 + 2))]
    # Grass tufts on the path edges and the bank.
    grass = []
    for i in range(260):
        zz = 4.0 + (60 - 4.0) * (i / 260.0) ** 2
        for edge in (path_x0, path_x1):
            sx, sy = ground_to_screen(edge + rnd.between(-0.05, 0.05), zz)
            hgt = 0.12 * FOCAL / zz
            grass.append("stroke %s stroke-width %s line %s,%s %s,%s" % (
                rnd.pick(["#5d8f3a", "#78a94a", "#4d7f33"]), f(max(0.5, 0.01 * FOCAL / zz)),
                f(sx), f(sy), f(sx + rnd.between(-0.4, 0.4) * hgt), f(sy - hgt)))
    for i in range(300):
        sx = rnd.between(-5, PW + 5)
        grass.append("stroke %s stroke-width 1.4 line %s,%s %s,%s" % (
            rnd.pick(["#5d8f3a", "#78a94a", "#4d7f33", "#8fbc5a"]), f(sx), f(sy0 + 1),
            f(sx + rnd.between(-3, 3)), f(sy0 - rnd.between(3, 8))))

    # Faint ripples on the water.
    ripples = ["fill none", "stroke #e8f6fb", "stroke-width 1"]
    for i in range(90):
        yy = rnd.between(270, PH)
        ln = rnd.between(6, 30) * (yy - HORIZON) / 120
        xx = rnd.between(0, PW)
        ripples.append("stroke-opacity %s line %s,%s %s,%s" % (
            f(rnd.between(0.15, 0.4)), f(xx), f(yy), f(xx + ln), f(yy)))

    pen = ["fill none", "stroke-linecap round"]
    return [water,
            render(tmp, "ripples", ripples, (PW, PH)),
            render(tmp, "ground", ground + pen + grass, (PW, PH)),
            render(tmp, "rice", pen + mvg, (PW, PH))]


def make_photo(tmp):
    layers = photo_sky(tmp) + photo_hills(tmp) + photo_school(tmp) + photo_field(tmp)
    big = os.path.join(tmp, "photo-big.png")
    args = [layers[0]]
    for layer in layers[1:]:
        args += [layer, "-composite"]
    run(*args, big)
    # Reduce, then give it a photographic finish: warm light, soft corners, grain.
    small = os.path.join(tmp, "photo-small.png")
    grain = os.path.join(tmp, "grain.pgm")
    rnd = Lcg(97)
    w, h = PW // 2, PH // 2
    data = bytearray(w * h)
    for i in range(w * h):
        s = rnd.unit() + rnd.unit() + rnd.unit() - 1.5   # roughly normal
        data[i] = max(0, min(255, int(128 + s * 7)))
    with open(grain, "wb") as out:
        out.write(b"P5\n%d %d\n255\n" % (w, h) + bytes(data))
    vignette = os.path.join(tmp, "vignette.png")
    run("-size", "%dx%d" % (w * 14 // 10, h * 14 // 10), "radial-gradient:#ffffff-#c9c2b4",
        "-gravity", "center", "-crop", "%dx%d+0+0" % (w, h), "+repage", vignette)
    run(big, "-filter", "Lanczos", "-resize", "%dx%d!" % (w, h),
        "-modulate", "100,108,100",
        vignette, "-compose", "Multiply", "-composite",
        grain, "-compose", "Overlay", "-composite",
        "-compose", "Over", "-type", "TrueColor", small)
    return small


# --------------------------------------------------------------------------
# The emblem that lies on the photograph: a round seal, a sprout out of a book
# --------------------------------------------------------------------------

EMBLEM_AT = (192, 152)      # its top-left corner on the photograph, in pixels
EMBLEM_SIZE = (38, 39)


def make_emblem(tmp, photo):
    """The round sign on its post in the photograph.  JPEG has no
    transparency, so the corners around the seal are the photograph itself,
    cut from the very spot where the emblem lies."""
    k = 4                                   # drawn four times larger
    w, h = EMBLEM_SIZE[0] * k, EMBLEM_SIZE[1] * k
    cx, cy, r = w / 2, h / 2, 18 * k
    lines = [
        "fill #00000055", "circle %s,%s %s,%s" % (f(cx + 3), f(cy + 4), f(cx + 3), f(cy + 4 - r + 2)),
    ]
    shadow = render(tmp, "emblem-shadow", lines, (w, h))
    run(shadow, "-blur", "0x4", shadow)
    c = lambda x, y: "%s,%s" % (f(cx + x), f(cy + y))
    lines = [
        # White rim, a golden hairline, the green field with a soft highlight.
        "fill #fffdf4", "circle %s %s" % (c(0, 0), c(0, -r + 1)),
        "fill none", "stroke #d8a735", "stroke-width 3", "circle %s %s" % (c(0, 0), c(0, -r + 9)),
        "stroke none", "fill #2f8c42", "circle %s %s" % (c(0, 0), c(0, -r + 12)),
        "fill #3fa552", "circle %s %s" % (c(-6, -8), c(-6, -r + 24)),
        "fill none", "stroke #bfe59d", "stroke-width 2", "circle %s %s" % (c(0, 0), c(0, -r + 16)),
        "stroke none",
        # The open book.
        "fill #fffdf4",
        "path 'M %s C %s %s %s L %s C %s %s %s Z'" % (
            c(-2, 32), c(-10, 24), c(-24, 22), c(-38, 27), c(-38, 9), c(-24, 4), c(-10, 6), c(-2, 14)),
        "path 'M %s C %s %s %s L %s C %s %s %s Z'" % (
            c(2, 32), c(10, 24), c(24, 22), c(38, 27), c(38, 9), c(24, 4), c(10, 6), c(2, 14)),
        "fill #cfe9b4",
        "path 'M %s C %s %s %s L %s C %s %s %s Z'" % (
            c(-2, 32), c(-10, 26), c(-24, 24), c(-38, 27), c(-38, 23), c(-24, 20), c(-10, 22), c(-2, 28)),
        "path 'M %s C %s %s %s L %s C %s %s %s Z'" % (
            c(2, 32), c(10, 26), c(24, 24), c(38, 27), c(38, 23), c(24, 20), c(10, 22), c(2, 28)),
        # The sprout: a stem and two leaves.
        "fill none", "stroke #fffdf4", "stroke-width 6", "stroke-linecap round",
        "path 'M %s C %s %s %s'" % (c(0, 12), c(0, 0), c(1, -14), c(0, -30)),
        "stroke none", "fill #fffdf4",
        "path 'M %s C %s %s %s C %s %s %s Z'" % (
            c(0, -6), c(-10, -2), c(-30, -6), c(-34, -26), c(-22, -30), c(-6, -24), c(0, -6)),
        "fill #d8f0b8",
        "path 'M %s C %s %s %s C %s %s %s Z'" % (
            c(1, -14), c(10, -10), c(30, -16), c(34, -36), c(22, -40), c(6, -32), c(1, -14)),
    ]
    seal = render(tmp, "emblem-seal", lines, (w, h))
    under = os.path.join(tmp, "emblem-under.png")
    run(photo, "-crop", "%dx%d+%d+%d" % (EMBLEM_SIZE + EMBLEM_AT), "+repage", under)
    out = os.path.join(tmp, "emblem.png")
    run(under,
        "(", shadow, "-filter", "Lanczos", "-resize", "%dx%d!" % EMBLEM_SIZE, ")", "-composite",
        "(", seal, "-filter", "Lanczos", "-resize", "%dx%d!" % EMBLEM_SIZE, ")", "-composite",
        "-type", "TrueColor", out)
    return out


# --------------------------------------------------------------------------
# Icons
# --------------------------------------------------------------------------

def bezier(p0, p1, p2, p3, t):
    u = 1 - t
    return tuple(u * u * u * a + 3 * u * u * t * b + 3 * u * t * t * c + t * t * t * d
                 for a, b, c, d in zip(p0, p1, p2, p3))


def blade(p0, p1, p2, p3, width, steps=40):
    """A rice leaf: a tapering band along a cubic curve, as one polygon."""
    left, right = [], []
    for i in range(steps + 1):
        t = i / steps
        x, y = bezier(p0, p1, p2, p3, t)
        ax, ay = bezier(p0, p1, p2, p3, max(0, t - 0.01))
        bx, by = bezier(p0, p1, p2, p3, min(1, t + 0.01))
        dx, dy = bx - ax, by - ay
        n = math.hypot(dx, dy) or 1
        half = width / 2 * (0.55 + 0.45 * min(1, t / 0.3)) * (1 - t) ** 0.75
        left.append((x - dy / n * half, y + dx / n * half))
        right.append((x + dy / n * half, y - dx / n * half))
    pts = left + right[::-1]
    return "polygon " + " ".join("%s,%s" % (f(x), f(y)) for x, y in pts)


def mirror(points, axis=192):
    return [(2 * axis - x, y) for x, y in points]


def sprout_icon(tmp, rounded):
    """The program's icon: a young rice plant, its leaves in equal pairs
    (everyone gets the same chance), standing in a paddy under the sun."""
    s = 384
    c = lambda x, y: "%s,%s" % (f(x), f(y))
    lines = []
    if rounded:
        lines += ["fill #2c7a3c", "roundrectangle 6,6 378,378 70,70",
                  "fill #eaf6fd", "roundrectangle 14,14 370,370 62,62"]
    else:
        lines += ["fill #eaf6fd", "rectangle 0,0 384,384"]
    lines += [
        "fill #ffd65a", "circle %s %s" % (c(306, 80), c(306, 42)),
        "fill #fff0b0", "circle %s %s" % (c(294, 68), c(294, 58)),
        # Water, with a glint, and the green bank in front.
        "fill #a3d6ec", "rectangle %s %s" % (c(0, 262), c(384, 384)),
        "fill #d6effa", "rectangle %s %s" % (c(40, 284), c(120, 290)),
        "fill #d6effa", "rectangle %s %s" % (c(262, 296), c(332, 302)),
        "fill #43a247", "path 'M %s C %s %s %s L %s L %s Z'" % (
            c(0, 330), c(110, 300), c(274, 300), c(384, 330), c(384, 384), c(0, 384)),
        "fill #2f8a3a", "path 'M %s C %s %s %s L %s L %s Z'" % (
            c(0, 360), c(120, 342), c(264, 342), c(384, 360), c(384, 384), c(0, 384)),
    ]
    # Leaves: outer pair drooping, inner pair arching, one upright in the middle.
    outer = [(184, 318), (160, 230), (96, 170), (28, 196)]
    inner = [(188, 318), (180, 220), (140, 120), (84, 56)]
    middle = [(192, 318), (190, 230), (196, 120), (204, 24)]
    leaves = [(outer, 44), (mirror(outer), 44), (inner, 46), (mirror(inner), 46), (middle, 48)]
    lines += ["stroke #1b6428", "stroke-width 20", "stroke-linejoin round", "fill #1b6428"]
    lines += [blade(*pts, width) for pts, width in leaves]
    lines += ["stroke none"]
    for (pts, width), colour in zip(leaves, ("#4fae38", "#4fae38", "#67c443", "#67c443", "#7fd150")):
        lines += ["fill " + colour, blade(*pts, width)]
    # A light vein along each leaf.
    for pts, width in leaves:
        lines += ["fill #aee37f", blade(*pts, width * 0.16)]
    # The plant's foot in the water.
    lines += ["fill #1b6428", "ellipse %s 30,9 0,360" % c(192, 320)]
    return render(tmp, "sprout-rounded" if rounded else "sprout", lines, (s, s))


def bell_icon(tmp):
    """The picture in the start window's corner: a school hand bell."""
    s = 384
    c = lambda x, y: "%s,%s" % (f(x), f(y))
    lines = [
        "fill #ffffff", "rectangle 0,0 384,384",
        # Ringing marks.
        "fill none", "stroke #6aaee0", "stroke-width 14", "stroke-linecap round",
        "path 'M %s Q %s %s'" % (c(52, 150), c(30, 190), c(52, 232)),
        "path 'M %s Q %s %s'" % (c(332, 150), c(354, 190), c(332, 232)),
        "stroke #a9d2f0", "stroke-width 12",
        "path 'M %s Q %s %s'" % (c(20, 128), c(-8, 190), c(20, 252)),
        "path 'M %s Q %s %s'" % (c(364, 128), c(392, 190), c(364, 252)),
        # Wooden handle.
        "stroke #5a3414", "stroke-width 10", "fill #a8672c",
        "roundrectangle 164,18 220,108 24,24",
        "stroke none", "fill #c98a4a", "roundrectangle 174,28 186,98 6,6",
        # Clapper.
        "stroke #6b4a12", "stroke-width 10", "fill #c7902a",
        "circle %s %s" % (c(192, 322), c(192, 296)),
        # Bell body.
        "stroke #8a5a0c", "stroke-width 12", "stroke-linejoin round", "fill #f0b429",
        "path 'M %s C %s %s %s C %s %s %s C %s %s %s L %s C %s %s %s Z'" % (
            c(192, 96), c(252, 96), c(270, 150), c(274, 210), c(278, 250), c(300, 270), c(326, 286),
            c(330, 300), c(322, 308), c(300, 308), c(84, 308), c(62, 308), c(54, 300), c(58, 286)),
        "stroke none",
        # The body above is straight on the left; draw the mirrored flank over it.
        "fill #f0b429",
        "path 'M %s C %s %s %s C %s %s %s L %s L %s Z'" % (
            c(192, 102), c(132, 102), c(114, 150), c(110, 210), c(106, 250), c(84, 270), c(62, 288),
            c(192, 296), c(192, 102)),
        "fill none", "stroke #8a5a0c", "stroke-width 12",
        "path 'M %s C %s %s %s C %s %s %s'" % (
            c(192, 96), c(132, 96), c(114, 150), c(110, 210), c(106, 250), c(84, 270), c(58, 286)),
        # Shine and the rim band.
        "stroke none", "fill #ffe493",
        "path 'M %s C %s %s %s C %s %s %s Z'" % (
            c(150, 130), c(132, 160), c(128, 220), c(112, 272), c(134, 262), c(150, 220), c(164, 134)),
        "fill #d6961a", "roundrectangle 66,272 318,300 14,14",
        "fill #f7cf5c", "roundrectangle 80,278 250,286 4,4",
    ]
    return render(tmp, "bell", lines, (s, s))


def save_png(src, dst, size, *extra):
    run(src, "-filter", "Lanczos", "-resize", "%dx%d!" % (size, size), *extra,
        "-depth", "8", *PNG_CLEAN, dst)


# --------------------------------------------------------------------------

def main():
    keep = None
    if len(sys.argv) == 3 and sys.argv[1] == "--keep":
        keep = sys.argv[2]
    tmp = tempfile.mkdtemp(prefix="qh-art-")
    try:
        os.makedirs(os.path.join(RES, "icons"), exist_ok=True)
        os.makedirs(os.path.join(RES, "images"), exist_ok=True)
        icons = os.path.join(RES, "icons")
        images = os.path.join(RES, "images")
        photo = make_photo(tmp)
        jpeg = ["-strip", "-sampling-factor", "2x2,1x1,1x1", "-type", "TrueColor"]
        run(photo, *jpeg, "-quality", "92", os.path.join(images, "photo.jpg"))
        emblem = make_emblem(tmp, photo)
        run(emblem, *jpeg, "-quality", "95", os.path.join(images, "emblem.jpg"))

        sprout = sprout_icon(tmp, rounded=False)
        save_png(sprout, os.path.join(icons, "qinghe.png"), 48,
                 "-alpha", "off", "-type", "TrueColor", "-define", "png:color-type=2")
        write_ico24(os.path.join(icons, "qinghe.png"), os.path.join(icons, "qinghe.ico"))
        rounded = sprout_icon(tmp, rounded=True)
        save_png(rounded, os.path.join(icons, "qinghe-256.png"), 256,
                 "-define", "png:color-type=6")
        # The exe's icon for Explorer and the taskbar: every size Windows asks
        # for, each resampled from the large drawing (32-bit with alpha; the
        # 256 px image PNG-compressed, as Windows expects).
        run(rounded, "-filter", "Lanczos", "-depth", "8", "-define", "icon:auto-resize=256,64,48,32,24,16",
            os.path.join(ROOT, "packaging", "windows", "qinghe.ico"))
        bell = os.path.join(tmp, "bell48.png")
        save_png(bell_icon(tmp), bell, 48, "-alpha", "off", "-type", "TrueColor")
        write_ico24(bell, os.path.join(icons, "corner.ico"))
    finally:
        if keep:
            if os.path.exists(keep):
                shutil.rmtree(keep)
            shutil.copytree(tmp, keep)
        shutil.rmtree(tmp)


if __name__ == "__main__":
    main()
