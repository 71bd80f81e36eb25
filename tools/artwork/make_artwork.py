#!/usr/bin/python3
"""Draws the client's images into resources/.

Everything is drawn from shapes (and DejaVu Sans Bold for the lettering), four to
eight times larger than needed and scaled down, so edges come out smooth at the
sizes the window shows them. Run it again after changing a shape; the output is
committed beside the script.

    /usr/bin/python3 tools/artwork/make_artwork.py
"""

import math
import os
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont, ImageOps

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
RES = os.path.join(ROOT, "resources")
FONT_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

# The window's own palette.
PANEL = (0x9E, 0xB6, 0xCE)
BLUE_TOP = (8, 143, 219)
BLUE_BOTTOM = (9, 94, 147)
NAVY = (6, 58, 94)
RIM = (214, 230, 244)
GREEN_TOP = (88, 196, 98)
GREEN_BOTTOM = (27, 128, 52)
GREEN_EDGE = (18, 92, 36)
RED_TOP = (226, 72, 60)
RED_BOTTOM = (181, 0, 0)
GOLD_TOP = (255, 214, 92)
GOLD_BOTTOM = (214, 150, 20)
WHITE = (255, 255, 255)


# ---------------------------------------------------------------- helpers

def rgba(color, alpha=255):
    return tuple(color[:3]) + (alpha,)


def lerp(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(len(a)))


def vgradient(size, top, bottom, alpha=255):
    """An RGBA image filled with a vertical gradient."""
    w, h = size
    column = Image.new("RGBA", (1, h))
    for y in range(h):
        t = y / max(1, h - 1)
        column.putpixel((0, y), rgba(lerp(top, bottom, t), alpha))
    return column.resize((w, h))


def shrink(img, size):
    """Scales a supersampled drawing down without dark fringes at transparent edges."""
    return img.convert("RGBa").resize(size, Image.LANCZOS).convert("RGBA")


def cubic(p0, p1, p2, p3, steps=24):
    pts = []
    for i in range(1, steps + 1):
        t = i / steps
        u = 1 - t
        x = u ** 3 * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t ** 3 * p3[0]
        y = u ** 3 * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t ** 3 * p3[1]
        pts.append((x, y))
    return pts


def path(start, segments):
    """A closed outline from a start point and cubic segments (c1, c2, end);
    a segment of one point is a straight line."""
    pts = [start]
    cur = start
    for seg in segments:
        if len(seg) == 1:
            pts.append(seg[0])
        else:
            pts.extend(cubic(cur, seg[0], seg[1], seg[2]))
        cur = pts[-1]
    return pts


def place(points, x, y, w, h):
    """Maps unit-box points into a rectangle."""
    return [(x + px * w, y + py * h) for px, py in points]


def mask_of(size, polygon):
    m = Image.new("L", size, 0)
    ImageDraw.Draw(m).polygon(polygon, fill=255)
    return m


def masked(fill, mask):
    """The fill (image or colour) with its opacity cut by a mask. Image.paste would blend
    the colour with the transparent black underneath and darken soft edges."""
    if not isinstance(fill, Image.Image):
        fill = Image.new("RGBA", mask.size, rgba(fill))
    layer = fill.copy()
    layer.putalpha(ImageChops.multiply(layer.getchannel("A"), mask))
    return layer


def paste_fill(img, fill, mask):
    """Composites a fill (image or colour) through a mask onto img."""
    img.alpha_composite(masked(fill, mask))


def gradient_polygon(img, polygon, top, bottom, box=None):
    """Fills a polygon with a vertical gradient spanning its own height (or box)."""
    ys = [p[1] for p in polygon]
    y0, y1 = (min(ys), max(ys)) if box is None else box
    grad = Image.new("RGBA", img.size, (0, 0, 0, 0))
    g = vgradient((img.size[0], max(1, int(y1 - y0))), top, bottom)
    grad.paste(g, (0, int(y0)))
    # Above and below the span the end colours continue.
    if int(y0) > 0:
        grad.paste(Image.new("RGBA", (img.size[0], int(y0)), rgba(top)), (0, 0))
    below = int(y0) + g.size[1]
    if below < img.size[1]:
        grad.paste(Image.new("RGBA", (img.size[0], img.size[1] - below), rgba(bottom)), (0, below))
    paste_fill(img, grad, mask_of(img.size, polygon))


def soft_shadow(size, polygon, offset, blur, alpha):
    m = Image.new("L", size, 0)
    ImageDraw.Draw(m).polygon([(x + offset[0], y + offset[1]) for x, y in polygon], fill=alpha)
    m = m.filter(ImageFilter.GaussianBlur(blur))
    shadow = Image.new("RGBA", size, (0, 0, 0, 0))
    shadow.putalpha(m)
    return shadow


def inset(polygon, cx, cy, factor):
    """Shrinks a polygon towards a centre; good enough for the convex shield."""
    return [(cx + (x - cx) * factor, cy + (y - cy) * factor) for x, y in polygon]


def save(img, name):
    out = os.path.join(RES, name)
    os.makedirs(os.path.dirname(out), exist_ok=True)
    img.save(out, optimize=True)
    return out


# ---------------------------------------------------------------- the mark

# A heater shield in a unit box: a raised middle on top, straight sides, a pointed foot.
SHIELD = path((0.5, 0.0), [
    ((0.66, 0.07), (0.84, 0.10), (1.0, 0.10)),
    ((1.0, 0.24), (1.0, 0.40), (1.0, 0.50)),
    ((1.0, 0.76), (0.76, 0.91), (0.5, 1.0)),
    ((0.24, 0.91), (0.0, 0.76), (0.0, 0.50)),
    ((0.0, 0.40), (0.0, 0.24), (0.0, 0.10)),
    ((0.16, 0.10), (0.34, 0.07), (0.5, 0.0)),
])
SHIELD_ASPECT = 0.84  # width / height

# A raven gliding to the right with its wing raised, in the shield's unit box.
BIRD = path((0.90, 0.40), [
    ((0.84, 0.36), (0.80, 0.33), (0.74, 0.33)),   # beak top to crown
    ((0.68, 0.33), (0.64, 0.37), (0.61, 0.41)),   # back of the head
    ((0.52, 0.34), (0.36, 0.22), (0.18, 0.20)),   # leading edge of the raised wing
    ((0.28, 0.30), (0.36, 0.40), (0.42, 0.47)),   # trailing edge back to the body
    ((0.34, 0.52), (0.26, 0.58), (0.20, 0.68)),   # lower back to the tail
    ((0.30, 0.68), (0.38, 0.66), (0.44, 0.63)),   # tail feathers
    ((0.56, 0.64), (0.68, 0.56), (0.72, 0.46)),   # belly and breast
    ((0.78, 0.44), (0.84, 0.43), (0.90, 0.40)),   # throat to beak tip
])


def draw_shield(img, x, y, h, top, bottom, edge, rim=RIM, shadow=True):
    """Draws the shield with a dark edge and a light inner rim."""
    w = h * SHIELD_ASPECT
    outer = place(SHIELD, x, y, w, h)
    if shadow:
        img.alpha_composite(soft_shadow(img.size, outer, (0, h * 0.025), h * 0.03, 110))
    gradient_polygon(img, outer, lerp(edge, top, 0.5), edge)
    cx, cy = x + w / 2, y + h * 0.47
    rim_poly = inset(outer, cx, cy, 0.94)
    paste_fill(img, rgba(rim), mask_of(img.size, rim_poly))
    body = inset(outer, cx, cy, 0.885)
    gradient_polygon(img, body, top, bottom)
    # A soft sheen over the upper left half.
    sheen = Image.new("L", img.size, 0)
    d = ImageDraw.Draw(sheen)
    d.polygon(body, fill=60)
    cut = Image.new("L", img.size, 0)
    ImageDraw.Draw(cut).polygon([(x - w, y + h * 0.62), (x + w * 2, y - h * 0.05),
                                 (x + w * 2, y + h * 2), (x - w, y + h * 2)], fill=255)
    sheen.paste(0, (0, 0), cut)
    paste_fill(img, WHITE, sheen)


def draw_bird(img, x, y, h, grow=1.0, eye=True):
    """Puts the white raven on a shield drawn at (x, y) with height h."""
    w = h * SHIELD_ASPECT
    bird = place(BIRD, x, y, w, h)
    if grow != 1.0:
        cx, cy = x + w * 0.52, y + h * 0.45
        bird = [(cx + (px - cx) * grow, cy + (py - cy) * grow) for px, py in bird]
    paste_fill(img, WHITE, mask_of(img.size, bird))
    if eye:
        ex, ey, r = x + w * 0.745, y + h * 0.365, h * 0.016
        ImageDraw.Draw(img).ellipse([ex - r, ey - r, ex + r, ey + r], fill=rgba(NAVY))


def mark(size, simple=False):
    """The Corvane mark: a blue shield carrying a white raven, on a transparent square."""
    s = 8 if size <= 64 else 4
    big = size * s
    img = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    h = big * 0.94
    w = h * SHIELD_ASPECT
    x, y = (big - w) / 2, big * 0.02
    draw_shield(img, x, y, h, BLUE_TOP, BLUE_BOTTOM, NAVY, shadow=not simple)
    # At 16 px the bird needs more body to stay readable, and an eye would be a smudge.
    draw_bird(img, x, y, h, grow=1.12 if simple else 1.0, eye=not simple)
    return shrink(img, (size, size))


def make_icons():
    sizes = [16, 32, 48, 256]
    images = [mark(sz, simple=(sz == 16)) for sz in sizes]
    ico = os.path.join(RES, "lumtar.ico")
    images[-1].save(ico, format="ICO", sizes=[(s, s) for s in sizes], append_images=images[:-1])
    save(mark(64), "lumtar.png")


def make_tray_icons():
    """The tray's mark for each state of the connection: grey while nothing runs, a badge in the
    corner for the rest, told apart by colour and by shape."""
    s = 4
    for name, badge in (("disconnected", None), ("connecting", (240, 170, 20)),
                        ("connected", (40, 170, 60)), ("blocked", (210, 30, 30))):
        base = mark(64)
        if badge is None:
            grey = ImageOps.grayscale(base).point(lambda v: 90 + v * 0.55)
            base = Image.merge("RGBA", (grey, grey, grey, base.getchannel("A")))
            save(base, "tray-%s.png" % name)
            continue
        layer = Image.new("RGBA", (64 * s, 64 * s), (0, 0, 0, 0))
        d = ImageDraw.Draw(layer)
        c0, c1 = 34 * s, 63 * s
        d.ellipse([c0, c0, c1, c1], fill=rgba(WHITE))
        d.ellipse([c0 + 3 * s, c0 + 3 * s, c1 - 3 * s, c1 - 3 * s], fill=rgba(badge))
        mid = (c0 + c1) / 2
        if name == "connected":
            d.line([(mid - 7 * s, mid), (mid - 2 * s, mid + 5 * s), (mid + 7 * s, mid - 5 * s)],
                   fill=rgba(WHITE), width=4 * s)
        elif name == "blocked":
            d.rectangle([mid - 8 * s, mid - 2 * s, mid + 8 * s, mid + 2 * s], fill=rgba(WHITE))
        else:
            for dx in (-6, 0, 6):
                d.ellipse([mid + (dx - 2) * s, mid - 2 * s, mid + (dx + 2) * s, mid + 2 * s], fill=rgba(WHITE))
        base.alpha_composite(shrink(layer, (64, 64)))
        save(base, "tray-%s.png" % name)


# ---------------------------------------------------------------- logo

def make_logo():
    s = 4
    W, H = 482, 102
    img = Image.new("RGBA", (W * s, H * s), (0, 0, 0, 0))
    h = 98 * s
    w = h * SHIELD_ASPECT
    x, y = 4 * s, 1 * s
    draw_shield(img, x, y, h, BLUE_TOP, BLUE_BOTTOM, NAVY, shadow=False)
    draw_bird(img, x, y, h)

    text = "Corvane"
    left = int(x + w + 14 * s)
    room = W * s - left - 4 * s
    size = 40 * s
    font = ImageFont.truetype(FONT_BOLD, size)
    while True:
        nxt = ImageFont.truetype(FONT_BOLD, size + s)
        if nxt.getbbox(text)[2] > room or size >= 92 * s:
            break
        size += s
        font = nxt
    bbox = font.getbbox(text)
    text_h = bbox[3] - bbox[1]
    top = (H * s - text_h) // 2 - bbox[1] + 2 * s
    tm = Image.new("L", img.size, 0)
    ImageDraw.Draw(tm).text((left - bbox[0], top), text, font=font, fill=255)
    ys = (top + bbox[1], top + bbox[3])
    grad = Image.new("RGBA", img.size, rgba(NAVY))
    grad.paste(vgradient((img.size[0], ys[1] - ys[0]), BLUE_BOTTOM, NAVY), (0, ys[0]))
    paste_fill(img, grad, tm)
    save(shrink(img, (W, H)), "logo.png")


# ---------------------------------------------------------------- panel background

def make_background():
    W, H = 321, 281
    img = vgradient((W, H), (186, 204, 222), PANEL)
    # Faint contour lines, like a map seen from far away.
    s = 4
    lines = Image.new("RGBA", (W * s, H * s), (0, 0, 0, 0))
    ld = ImageDraw.Draw(lines)
    for k in range(9):
        pts = []
        for i in range(0, W * s + 1, 8):
            t = i / (W * s)
            yy = (60 + k * 26 + 14 * math.sin(t * 5.0 + k * 0.7) + 8 * math.sin(t * 11.0 - k)) * s
            pts.append((i, yy))
        ld.line(pts, fill=(255, 255, 255, 34), width=2 * s)
    img.alpha_composite(shrink(lines, (W, H)))
    # A light top strip where the title buttons sit.
    strip = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    d = ImageDraw.Draw(strip)
    d.rectangle([0, 0, W, 28], fill=(255, 255, 255, 40))
    d.line([(0, 29), (W, 29)], fill=(110, 136, 162, 130))
    img.alpha_composite(strip)
    save(img, "background0.png")


# ---------------------------------------------------------------- title strip buttons

def rounded(size, radius, fill_top, fill_bottom, border, round_left):
    """A button face hanging from the top edge, one lower corner rounded."""
    w, h = size
    s = 8
    m = Image.new("L", (w * s, h * s), 0)
    d = ImageDraw.Draw(m)
    d.rounded_rectangle([0, -radius * s, w * s - 1, h * s - 1], radius * s, fill=255)
    if round_left:
        d.rectangle([w * s - radius * s, 0, w * s - 1, h * s - 1], fill=255)
    else:
        d.rectangle([0, 0, radius * s, h * s - 1], fill=255)
    m = m.resize((w, h), Image.LANCZOS)
    img = masked(vgradient((w, h), fill_top, fill_bottom), m)
    # The border is the ring between the shape and the shape shrunk by a pixel.
    padded = Image.new("L", (w + 2, h + 2), 0)
    padded.paste(m, (1, 1))
    ring = padded.filter(ImageFilter.MinFilter(3)).crop((1, 1, w + 1, h + 1))
    edge = ImageChops.subtract(m, ring)
    layer = Image.new("RGBA", (w, h), rgba(border))
    layer.putalpha(edge)
    img.alpha_composite(layer)
    return img


def glyph_layer(size, draw_fn, color, s=8):
    w, h = size
    m = Image.new("L", (w * s, h * s), 0)
    draw_fn(ImageDraw.Draw(m), s)
    m = m.resize((w, h), Image.LANCZOS)
    layer = Image.new("RGBA", (w, h), rgba(color))
    layer.putalpha(m)
    return layer


def make_title_buttons():
    normal = ((200, 215, 230), (166, 188, 210), (110, 136, 162))
    blue = (BLUE_TOP, BLUE_BOTTOM, (6, 70, 110))
    red = (RED_TOP, RED_BOTTOM, (120, 10, 10))

    def dash(d, s):
        d.rectangle([8 * s, 9 * s, 17 * s, 11 * s], fill=255)

    def cross(d, s):
        cx, cy, r = 20.5 * s, 8.0 * s, 3.6 * s
        wd = int(1.9 * s)
        d.line([(cx - r, cy - r), (cx + r, cy + r)], fill=255, width=wd)
        d.line([(cx - r, cy + r), (cx + r, cy - r)], fill=255, width=wd)

    for name, size, face, glyph, round_left, glyph_color in [
        ("minimize0.png", (25, 17), normal, dash, True, NAVY),
        ("minimize.png", (25, 17), blue, dash, True, WHITE),
        ("close0.png", (41, 17), normal, cross, False, NAVY),
        ("close.png", (41, 17), red, cross, False, WHITE),
    ]:
        img = rounded(size, 4, face[0], face[1], face[2], round_left)
        if glyph_color == WHITE:
            # A faint dark offset keeps the white glyph crisp on the coloured face.
            sh = glyph_layer(size, glyph, (0, 0, 0))
            sh.putalpha(Image.eval(sh.getchannel("A"), lambda v: v * 70 // 255))
            moved = Image.new("RGBA", size, (0, 0, 0, 0))
            moved.paste(sh, (0, 1))
            img.alpha_composite(moved)
        img.alpha_composite(glyph_layer(size, glyph, glyph_color))
        save(img, name)


def make_down_arrow():
    def arrow(d, s):
        d.polygon([(0.5 * s, 0.5 * s), (9.5 * s, 0.5 * s), (5 * s, 5.5 * s)], fill=255)
    save(glyph_layer((10, 6), arrow, (70, 90, 110)), "down.png")


def make_check_tick():
    """The tick inside the checked auto-login box (its 11 px face is blue)."""
    def tick(d, s):
        d.line([(2.0 * s, 5.6 * s), (4.4 * s, 8.0 * s), (9.0 * s, 2.6 * s)],
               fill=255, width=int(1.8 * s), joint="curve")
    save(glyph_layer((11, 11), tick, WHITE), "check.png")


# ---------------------------------------------------------------- page images

def make_server():
    s = 8
    S = 51 * s
    img = Image.new("RGBA", (S, S), (0, 0, 0, 0))
    c, r = S / 2, 23 * s
    circle = [(c + r * math.cos(a / 90 * math.pi), c + r * math.sin(a / 90 * math.pi)) for a in range(180)]
    img.alpha_composite(soft_shadow(img.size, circle, (0, 1.2 * s), 1.2 * s, 110))
    gradient_polygon(img, circle, (74, 178, 236), BLUE_BOTTOM)
    grid = Image.new("L", img.size, 0)
    g = ImageDraw.Draw(grid)
    lw = int(1.3 * s)
    for k in (-0.62, 0.0, 0.62):          # parallels
        yy = c + k * r
        half = math.sqrt(max(0.0, r * r - (k * r) ** 2))
        g.line([(c - half, yy), (c + half, yy)], fill=170, width=lw)
    for f in (0.0, 0.45, 0.85):           # meridians
        g.ellipse([c - r * f, c - r, c + r * f, c + r], outline=170, width=lw)
    g.line([(c, c - r), (c, c + r)], fill=170, width=lw)
    clip = mask_of(img.size, circle)
    grid = ImageChops.darker(grid, clip)
    paste_fill(img, WHITE, grid)
    ImageDraw.Draw(img).ellipse([c - r, c - r, c + r, c + r], outline=rgba(NAVY), width=int(1.2 * s))
    # Highlight on the upper left.
    hl = Image.new("L", img.size, 0)
    ImageDraw.Draw(hl).ellipse([c - r * 0.8, c - r * 0.92, c + r * 0.2, c - r * 0.2], fill=70)
    paste_fill(img, WHITE, hl.filter(ImageFilter.GaussianBlur(3 * s)))
    save(shrink(img, (51, 51)), "server.png")


def make_avatar():
    s = 8
    S = 41 * s
    img = Image.new("RGBA", (S, S), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle([s, s, S - s, S - s], 6 * s, fill=rgba((222, 233, 244)), outline=rgba(PANEL),
                        width=int(1.2 * s))
    clip = Image.new("L", img.size, 0)
    ImageDraw.Draw(clip).rounded_rectangle([2 * s, 2 * s, S - 2 * s, S - 2 * s], 5 * s, fill=255)
    person = Image.new("L", img.size, 0)
    p = ImageDraw.Draw(person)
    cx = S / 2
    p.ellipse([cx - 7.5 * s, 7 * s, cx + 7.5 * s, 22 * s], fill=255)              # head
    p.ellipse([cx - 15 * s, 24 * s, cx + 15 * s, 52 * s], fill=255)               # shoulders
    person = ImageChops.darker(person, clip)
    grad = vgradient(img.size, BLUE_TOP, BLUE_BOTTOM)
    paste_fill(img, grad, person)
    save(shrink(img, (41, 41)), "user_avatar.png")


def make_connected():
    s = 4
    W, H = 101, 91
    img = Image.new("RGBA", (W * s, H * s), (0, 0, 0, 0))
    h = 86 * s
    w = h * SHIELD_ASPECT
    x, y = (W * s - w) / 2, 1.5 * s
    draw_shield(img, x, y, h, GREEN_TOP, GREEN_BOTTOM, GREEN_EDGE, rim=(226, 246, 226))
    check = Image.new("L", img.size, 0)
    pts = [(x + w * 0.27, y + h * 0.48), (x + w * 0.44, y + h * 0.64), (x + w * 0.75, y + h * 0.30)]
    cd = ImageDraw.Draw(check)
    lw = int(h * 0.10)
    cd.line(pts, fill=255, width=lw, joint="curve")
    for px, py in (pts[0], pts[2]):
        cd.ellipse([px - lw / 2, py - lw / 2, px + lw / 2, py + lw / 2], fill=255)
    img.alpha_composite(_offset_shadow(check, (0, s), 80))
    paste_fill(img, WHITE, check)
    save(shrink(img, (W, H)), "connected.png")


def _offset_shadow(mask, offset, alpha):
    m = Image.new("L", mask.size, 0)
    m.paste(mask, offset)
    layer = Image.new("RGBA", mask.size, (0, 0, 0, 0))
    layer.putalpha(Image.eval(m, lambda v: v * alpha // 255))
    return layer


def make_connecting():
    s = 4
    W, H = 91, 81
    img = Image.new("RGBA", (W * s, H * s), (0, 0, 0, 0))
    h = 77 * s
    w = h * SHIELD_ASPECT
    x, y = (W * s - w) / 2, 1.5 * s
    draw_shield(img, x, y, h, BLUE_TOP, BLUE_BOTTOM, NAVY)
    arcs = Image.new("L", img.size, 0)
    a = ImageDraw.Draw(arcs)
    cx, cy = x + w / 2, y + h * 0.66
    lw = int(h * 0.065)
    for rr in (0.17, 0.30, 0.43):
        r = h * rr
        a.arc([cx - r, cy - r, cx + r, cy + r], 225, 315, fill=255, width=lw)
    dot = h * 0.055
    a.ellipse([cx - dot, cy - dot, cx + dot, cy + dot], fill=255)
    img.alpha_composite(_offset_shadow(arcs, (0, s), 70))
    paste_fill(img, WHITE, arcs)
    save(shrink(img, (W, H)), "connecting.png")


def make_money():
    s = 4
    W, H = 91, 81
    img = Image.new("RGBA", (W * s, H * s), (0, 0, 0, 0))
    # The card, tilted a little.
    card = Image.new("RGBA", (70 * s, 46 * s), (0, 0, 0, 0))
    cm = Image.new("L", card.size, 0)
    ImageDraw.Draw(cm).rounded_rectangle([0, 0, card.size[0] - 1, card.size[1] - 1], 6 * s, fill=255)
    card.alpha_composite(masked(vgradient(card.size, BLUE_TOP, BLUE_BOTTOM), cm))
    cd = ImageDraw.Draw(card)
    cd.rectangle([0, 8 * s, card.size[0], 16 * s], fill=rgba(NAVY))
    cd.rounded_rectangle([8 * s, 23 * s, 20 * s, 32 * s], 2 * s, fill=rgba(GOLD_TOP),
                         outline=rgba(GOLD_BOTTOM), width=s)
    cd.line([(8 * s, 27.5 * s), (20 * s, 27.5 * s)], fill=rgba(GOLD_BOTTOM), width=s // 2 + 1)
    for i in range(4):
        cd.rounded_rectangle([(26 + i * 9) * s, 36 * s, (33 + i * 9) * s, 39 * s], s, fill=(255, 255, 255, 170))
    edge = Image.new("RGBA", card.size, (0, 0, 0, 0))
    ImageDraw.Draw(edge).rounded_rectangle([0, 0, card.size[0] - 1, card.size[1] - 1], 6 * s,
                                           outline=rgba(NAVY), width=s)
    card.alpha_composite(edge)
    card = card.rotate(8, resample=Image.BICUBIC, expand=True)
    shadow = Image.new("RGBA", card.size, (0, 0, 0, 0))
    shadow.putalpha(Image.eval(card.getchannel("A"), lambda v: v * 90 // 255))
    shadow = shadow.filter(ImageFilter.GaussianBlur(2 * s))
    img.alpha_composite(shadow, (3 * s, 7 * s))
    img.alpha_composite(card, (2 * s, 4 * s))
    # The coin in front.
    cx, cy, r = 66 * s, 57 * s, 19 * s
    ring = [(cx + r * math.cos(a / 90 * math.pi), cy + r * math.sin(a / 90 * math.pi)) for a in range(180)]
    img.alpha_composite(soft_shadow(img.size, ring, (0, 1.5 * s), 1.5 * s, 100))
    gradient_polygon(img, ring, GOLD_TOP, GOLD_BOTTOM)
    d = ImageDraw.Draw(img)
    d.ellipse([cx - r, cy - r, cx + r, cy + r], outline=rgba((160, 104, 8)), width=int(1.2 * s))
    ri = r * 0.78
    d.ellipse([cx - ri, cy - ri, cx + ri, cy + ri], outline=rgba((236, 180, 50)), width=int(1.0 * s))
    font = ImageFont.truetype(FONT_BOLD, int(24 * s))
    d.text((cx, cy + s), "$", font=font, fill=rgba((150, 96, 4)), anchor="mm")
    save(shrink(img, (W, H)), "money.png")


# ---------------------------------------------------------------- busy animation

def annulus(cx, cy, outer, inner, start, end):
    """A ring segment between two angles in degrees, clockwise from three o'clock."""
    steps = max(2, int(abs(end - start) / 3))
    angles = [math.radians(start + (end - start) * k / steps) for k in range(steps + 1)]
    return ([(cx + outer * math.cos(a), cy + outer * math.sin(a)) for a in angles]
            + [(cx + inner * math.cos(a), cy + inner * math.sin(a)) for a in reversed(angles)])


def make_loading():
    """A rotating arc on a faint ring, 8 frames. GIF has one-bit transparency, so the soft
    edges are blended over the panel colour the animation sits on."""
    W, H = 16, 11
    s = 8
    frames = []
    for i in range(8):
        big = Image.new("RGBA", (W * s, H * s), (0, 0, 0, 0))
        d = ImageDraw.Draw(big)
        cx, cy = W * s / 2, H * s / 2
        d.polygon(annulus(cx, cy, 4.2 * s, 2.5 * s, 0, 360), fill=(255, 255, 255, 200))
        start = i * 45 - 90
        d.polygon(annulus(cx, cy, 4.2 * s, 2.5 * s, start, start + 110), fill=rgba(BLUE_BOTTOM))
        small = shrink(big, (W, H))
        matte = Image.new("RGBA", (W, H), rgba(PANEL))
        matte.alpha_composite(small)
        alpha = small.getchannel("A")
        frame = matte.convert("RGB").quantize(colors=63, method=Image.MEDIANCUT)
        pal = frame.getpalette()[: 63 * 3] + [0, 0, 0]
        pal += [0] * (768 - len(pal))
        data = [63 if a < 60 else p for p, a in zip(frame.getdata(), alpha.getdata())]
        out = Image.new("P", (W, H))
        out.putpalette(pal)
        out.putdata(data)
        out.info["transparency"] = 63
        frames.append(out)
    path_out = os.path.join(RES, "loading3.gif")
    frames[0].save(path_out, save_all=True, append_images=frames[1:], duration=90, loop=0,
                   transparency=63, disposal=2, optimize=False)


# ---------------------------------------------------------------- flags

FLAG_BOX = (3, 10, 45, 30)  # x, y, w, h inside the 51 x 51 image


def flag_canvas(s):
    return Image.new("RGBA", (51 * s, 51 * s), (0, 0, 0, 0))


def finish_flag(img, s, box, radius=2):
    """Rounds the corners, adds a thin edge, a faint sheen and a soft shadow."""
    x, y, w, h = [v * s for v in box]
    m = Image.new("L", img.size, 0)
    ImageDraw.Draw(m).rounded_rectangle([x, y, x + w - 1, y + h - 1], radius * s, fill=255)
    shaped = masked(img, m)
    sheen = Image.new("L", img.size, 0)
    ImageDraw.Draw(sheen).rectangle([x, y, x + w, y + h * 0.45], fill=40)
    sheen = ImageChops.darker(sheen, m)
    paste_fill(shaped, WHITE, sheen)
    ImageDraw.Draw(shaped).rounded_rectangle([x, y, x + w - 1, y + h - 1], radius * s,
                                             outline=(0, 0, 0, 70), width=s)
    out = Image.new("RGBA", img.size, (0, 0, 0, 0))
    shadow = Image.new("L", img.size, 0)
    ImageDraw.Draw(shadow).rounded_rectangle([x, y + s, x + w - 1, y + h - 1 + s], radius * s, fill=90)
    shadow = shadow.filter(ImageFilter.GaussianBlur(1.2 * s))
    sl = Image.new("RGBA", img.size, (0, 0, 0, 0))
    sl.putalpha(shadow)
    out.alpha_composite(sl)
    out.alpha_composite(shaped)
    return shrink(out, (51, 51))


def stripes(colors, vertical, s, box=FLAG_BOX, weights=None):
    img = flag_canvas(s)
    d = ImageDraw.Draw(img)
    x, y, w, h = [v * s for v in box]
    weights = weights or [1] * len(colors)
    total = sum(weights)
    pos = 0
    for c, wt in zip(colors, weights):
        a = pos / total
        b = (pos + wt) / total
        if vertical:
            d.rectangle([x + a * w, y, x + b * w, y + h], fill=rgba(c))
        else:
            d.rectangle([x, y + a * h, x + w, y + b * h], fill=rgba(c))
        pos += wt
    return img


def maple_leaf(cx, cy, r):
    """A simplified eleven-point maple leaf around (cx, cy)."""
    pts = [(0.0, -1.0), (0.16, -0.62), (0.36, -0.72), (0.30, -0.18), (0.62, -0.50), (0.68, -0.34),
           (0.98, -0.40), (0.86, -0.06), (0.98, 0.02), (0.50, 0.40), (0.56, 0.56), (0.08, 0.48),
           (0.08, 0.92)]
    left = [(-px, py) for px, py in reversed(pts[1:-1])]
    full = pts[:-1] + [(0.08, 0.92), (-0.08, 0.92)] + left
    return [(cx + px * r, cy + py * r) for px, py in full]


def make_flags():
    s = 8
    red, white = (213, 43, 30), WHITE
    x, y, w, h = [v * s for v in FLAG_BOX]
    flags = {}

    flags["de"] = stripes([(20, 20, 20), (221, 0, 0), (255, 206, 0)], False, s)
    flags["fr"] = stripes([(0, 85, 164), white, (239, 65, 53)], True, s)
    flags["it"] = stripes([(0, 146, 70), white, (206, 43, 55)], True, s)
    flags["nl"] = stripes([(174, 28, 40), white, (33, 70, 139)], False, s)
    flags["ro"] = stripes([(0, 43, 127), (252, 209, 22), (206, 17, 38)], True, s)

    ca = stripes([red, white, red], True, s, weights=[1, 2, 1])
    ImageDraw.Draw(ca).polygon(maple_leaf(x + w / 2, y + h * 0.47, h * 0.36), fill=rgba(red))
    flags["ca"] = ca

    ch_box = (8, 8, 35, 35)
    ch = stripes([(218, 41, 28)], True, s, box=ch_box)
    cx0, cy0, cw = ch_box[0] * s, ch_box[1] * s, ch_box[2] * s
    arm, thick = cw * 0.6, cw * 0.19
    d = ImageDraw.Draw(ch)
    d.rectangle([cx0 + (cw - thick) / 2, cy0 + (cw - arm) / 2, cx0 + (cw + thick) / 2, cy0 + (cw + arm) / 2],
                fill=rgba(white))
    d.rectangle([cx0 + (cw - arm) / 2, cy0 + (cw - thick) / 2, cx0 + (cw + arm) / 2, cy0 + (cw + thick) / 2],
                fill=rgba(white))
    flags["ch"] = (ch, ch_box)

    se = stripes([(0, 106, 167)], True, s)
    d = ImageDraw.Draw(se)
    t = h * 0.2
    vx = x + w * 5 / 16
    d.rectangle([vx, y, vx + t, y + h], fill=rgba((254, 204, 0)))
    d.rectangle([x, y + (h - t) / 2, x + w, y + (h + t) / 2], fill=rgba((254, 204, 0)))
    flags["se"] = se

    uk = stripes([(1, 33, 105)], True, s)
    layer = Image.new("RGBA", uk.size, (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    diag_w = int(h * 0.2)
    d.line([(x, y), (x + w, y + h)], fill=rgba(white), width=diag_w)
    d.line([(x, y + h), (x + w, y)], fill=rgba(white), width=diag_w)
    d.line([(x, y), (x + w, y + h)], fill=rgba((200, 16, 46)), width=int(h * 0.07))
    d.line([(x, y + h), (x + w, y)], fill=rgba((200, 16, 46)), width=int(h * 0.07))
    t = h * 0.32
    d.rectangle([x + (w - t) / 2, y, x + (w + t) / 2, y + h], fill=rgba(white))
    d.rectangle([x, y + (h - t) / 2, x + w, y + (h + t) / 2], fill=rgba(white))
    t = h * 0.19
    d.rectangle([x + (w - t) / 2, y, x + (w + t) / 2, y + h], fill=rgba((200, 16, 46)))
    d.rectangle([x, y + (h - t) / 2, x + w, y + (h + t) / 2], fill=rgba((200, 16, 46)))
    clip = Image.new("L", uk.size, 0)
    ImageDraw.Draw(clip).rectangle([x, y, x + w, y + h], fill=255)
    uk.alpha_composite(masked(layer, clip))
    flags["uk"] = uk

    us = stripes([(178, 34, 52) if i % 2 == 0 else white for i in range(13)], False, s)
    d = ImageDraw.Draw(us)
    canton_w, canton_h = w * 0.42, h * 7 / 13
    d.rectangle([x, y, x + canton_w, y + canton_h], fill=rgba((60, 59, 110)))
    rows, cols = 4, 5
    dot = s * 0.75
    for row in range(rows):
        for col in range(cols):
            off = 0.5 if row % 2 else 0.0
            if off and col == cols - 1:
                continue
            px = x + canton_w * (col + 0.5 + off) / cols
            py = y + canton_h * (row + 0.5) / rows
            d.ellipse([px - dot, py - dot, px + dot, py + dot], fill=rgba(white))
    flags["us"] = us

    def nordic(field, cross, inner=None):
        img = stripes([field], True, s)
        d = ImageDraw.Draw(img)
        for colour, t in ((cross, h * 0.26), (inner, h * 0.12)):
            if colour is None:
                continue
            vx = x + w * 0.36 - t / 2
            d.rectangle([vx, y, vx + t, y + h], fill=rgba(colour))
            d.rectangle([x, y + (h - t) / 2, x + w, y + (h + t) / 2], fill=rgba(colour))
        return img

    jp = stripes([white], True, s)
    r = h * 0.3
    ImageDraw.Draw(jp).ellipse([x + w / 2 - r, y + h / 2 - r, x + w / 2 + r, y + h / 2 + r],
                               fill=rgba((188, 0, 45)))
    flags["jp"] = jp
    flags["es"] = stripes([(170, 21, 27), (241, 191, 0), (170, 21, 27)], False, s, weights=[1, 2, 1])
    flags["at"] = stripes([(200, 16, 46), white, (200, 16, 46)], False, s)
    flags["be"] = stripes([(20, 20, 20), (253, 218, 36), (239, 51, 64)], True, s)
    flags["pl"] = stripes([white, (220, 20, 60)], False, s)
    flags["ie"] = stripes([(22, 155, 98), white, (255, 136, 62)], True, s)
    flags["hu"] = stripes([(206, 41, 57), white, (71, 112, 80)], False, s)
    flags["bg"] = stripes([white, (0, 150, 110), (214, 38, 18)], False, s)
    flags["ua"] = stripes([(0, 87, 183), (255, 215, 0)], False, s)
    flags["ee"] = stripes([(0, 114, 206), (20, 20, 20), white], False, s)
    flags["lt"] = stripes([(253, 185, 19), (0, 106, 68), (193, 39, 45)], False, s)
    flags["lu"] = stripes([(237, 41, 57), white, (0, 161, 222)], False, s)
    flags["dk"] = nordic((200, 16, 46), white)
    flags["no"] = nordic((186, 12, 47), white, (0, 32, 91))
    flags["fi"] = nordic(white, (0, 47, 108))

    # Shown for a country the client has no flag for: no country's colours, a plain globe.
    neutral = stripes([(150, 164, 178)], True, s)
    d = ImageDraw.Draw(neutral)
    cx, cy, r = x + w / 2, y + h / 2, h * 0.36
    line = max(1, int(s * 1.1))
    d.ellipse([cx - r, cy - r, cx + r, cy + r], outline=rgba(white), width=line)
    d.ellipse([cx - r * 0.45, cy - r, cx + r * 0.45, cy + r], outline=rgba(white), width=line)
    d.line([(cx - r, cy), (cx + r, cy)], fill=rgba(white), width=line)
    d.line([(cx, cy - r), (cx, cy + r)], fill=rgba(white), width=line)
    flags["none"] = neutral

    for code, value in flags.items():
        img, box = value if isinstance(value, tuple) else (value, FLAG_BOX)
        save(finish_flag(img, s, box), os.path.join("flags", code + ".png"))


# ---------------------------------------------------------------- desktop icons

DESKTOP_ID = "com.corvane.Client"
HICOLOR = os.path.join(ROOT, "packaging", "icons", "hicolor")
DESKTOP_SIZES = [16, 24, 32, 48, 64, 128, 256]


def svg_points(polygon):
    return " ".join("%.2f,%.2f" % (x, y) for x, y in polygon)


def mark_svg(size=256):
    """The mark as SVG, from the same outlines the PNGs are drawn from."""
    h = size * 0.94
    w = h * SHIELD_ASPECT
    x, y = (size - w) / 2, size * 0.02
    outer = place(SHIELD, x, y, w, h)
    cx, cy = x + w / 2, y + h * 0.47
    rim_poly = inset(outer, cx, cy, 0.94)
    body = inset(outer, cx, cy, 0.885)
    bird = place(BIRD, x, y, w, h)
    ex, ey, r = x + w * 0.745, y + h * 0.365, h * 0.016
    hexc = lambda c: "#%02x%02x%02x" % tuple(c[:3])
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" viewBox="0 0 {size} {size}">
  <defs>
    <linearGradient id="edge" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="{hexc(lerp(NAVY, BLUE_TOP, 0.5))}"/>
      <stop offset="1" stop-color="{hexc(NAVY)}"/>
    </linearGradient>
    <linearGradient id="body" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="{hexc(BLUE_TOP)}"/>
      <stop offset="1" stop-color="{hexc(BLUE_BOTTOM)}"/>
    </linearGradient>
  </defs>
  <polygon points="{svg_points(outer)}" fill="url(#edge)"/>
  <polygon points="{svg_points(rim_poly)}" fill="{hexc(RIM)}"/>
  <polygon points="{svg_points(body)}" fill="url(#body)"/>
  <polygon points="{svg_points(bird)}" fill="#ffffff"/>
  <circle cx="{ex:.2f}" cy="{ey:.2f}" r="{r:.2f}" fill="{hexc(NAVY)}"/>
</svg>
"""


def make_desktop_icons():
    """The program's icon in the desktop's hicolor theme: PNGs and a scalable SVG."""
    for size in DESKTOP_SIZES:
        out = os.path.join(HICOLOR, "%dx%d" % (size, size), "apps", DESKTOP_ID + ".png")
        os.makedirs(os.path.dirname(out), exist_ok=True)
        mark(size, simple=(size <= 16)).save(out, optimize=True)
    out = os.path.join(HICOLOR, "scalable", "apps", DESKTOP_ID + ".svg")
    os.makedirs(os.path.dirname(out), exist_ok=True)
    with open(out, "w", encoding="utf-8") as f:
        f.write(mark_svg())


# ---------------------------------------------------------------- main

def main():
    # --desktop-icons draws only the icons the package installs into the desktop's theme.
    if sys.argv[1:] == ["--desktop-icons"]:
        make_desktop_icons()
        return
    if not os.path.exists(FONT_BOLD):
        sys.exit("needs DejaVu Sans Bold (fonts-dejavu-core): " + FONT_BOLD)
    os.makedirs(os.path.join(RES, "flags"), exist_ok=True)
    make_icons()
    make_logo()
    make_background()
    make_title_buttons()
    make_down_arrow()
    make_check_tick()
    make_server()
    make_avatar()
    make_connected()
    make_connecting()
    make_money()
    make_loading()
    make_flags()
    make_tray_icons()
    make_desktop_icons()


if __name__ == "__main__":
    main()
