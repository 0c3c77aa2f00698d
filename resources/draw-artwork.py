#!/usr/bin/python3
"""Draws every picture Linkvane ships and writes them next to this script and into demo/.

    resources/draw-artwork.py        (needs: scripts/install-deps.sh art)

Outputs (all committed; the build only reads them):
    resources/main-background.jpg     700 x 400, the main window's whole look
    resources/support-background.jpg  349 x 249, the support window
    resources/maker-background.jpg    350 x 223, the maker window
    resources/*-background-1.5x.jpg   the same at 1.5 and 2 times the size, for high-DPI screens
    resources/*-background-2x.jpg     (drawn afresh at that size, not enlarged)
    resources/linkvane.ico            seven images: 48/32/16 at 8 bpp, 48/32/24/16 at 32 bpp
    resources/icons/linkvane-N.png    desktop-menu icons, N = 16 ... 256
    resources/hand.cur                32 x 32 two-colour pointing hand, hot spot (5, 0), 326 bytes
    demo/banner.jpg, demo/banner.gif  460 x 68 banner of a made-up product

The windows put their controls over regions of the backgrounds that are drawn for them, so the
rectangles below are the controls' rectangles in pixels. White Tahoma text lies over every label
rectangle; check_white_text_readable() refuses a picture where that text would not stand out.
The output is deterministic: no randomness except from a fixed seed.
"""

import math
import pathlib
import random
import struct

from PIL import Image, ImageDraw, ImageFilter, ImageFont

HERE = pathlib.Path(__file__).resolve().parent
DEMO = HERE.parent / "demo"
SS = 4  # everything is drawn at SS times its size and scaled down, for smooth edges
SCALE = 1  # the size of the finished picture against the layout's pixels (1, 1.5 or 2)
SCALES = (1.5, 2)  # the larger pictures for high-DPI screens, besides the 1x ones
FONT_DIR = pathlib.Path("/usr/share/fonts/truetype/dejavu")

# Theme colours.
NIGHT = (7, 16, 28)
DEEP_BLUE = (10, 30, 52)
DEEP_TEAL = (8, 44, 56)
PANEL = (16, 40, 58)
PANEL_EDGE = (56, 120, 140)
TEAL = (38, 198, 186)
CYAN = (110, 214, 236)
ICE = (228, 246, 252)
AMBER = (255, 176, 58)
MUTED = (98, 150, 168)

# Regions in pixels (left, top, width, height). Labels are sized to their text, so a label's
# width here is the larger of its stored width and what its caption takes in the window font
# (Tahoma 8.25 pt = 11 px, as Wine's free Tahoma shapes the Persian text).
MAIN_SIZE = (700, 400)
BANNER = (8, 80, 460, 68)
MESSAGE_BOX = (24, 195, 457, 65)
ADDRESS_BOX = (23, 320, 457, 21)
BANNER_HEADING = (400, 56, 39, 13)      # bold
MESSAGE_HEADING = (392, 169, 55, 13)    # bold
ADDRESS_HEADING = (331, 289, 118, 13)   # bold
TIME_VALUE, TIME_HEADING = (496, 240, 102, 13), (604, 240, 42, 13)
DATE_VALUE, DATE_HEADING = (472, 272, 134, 13), (612, 272, 34, 13)
# The date grows left for a long date: the widest of all (weekday, day, month name and a four-digit
# year) is 144 px and its ink starts at 463, so the date panel starts at 456.
DATE_PANEL_LEFT = 456
DATE_WIDEST = (462, 272, 144, 13)
SYMBOL_COLUMN = 666                     # centre of the clock and calendar symbols
BUTTON_SIZE = (97, 33)
BUTTON_TOP = 360
BUTTON_CAPTION_TOP = 368
BUTTON_ICON_SIZE, BUTTON_ICON_INSET = 12, 9  # icon centred this far left of the drawn button's right edge
# Button left edge, its icon, its caption's left edge and the caption's width in bold (the widest
# it gets), and how far the drawn plate reaches beyond the button's hot area on the left and the
# right: the caption of "about" starts at the button's own left edge and the bold caption of
# "site" runs nearly to its right end, so their plates are a little larger than their hot areas
# to keep the border and the icon clear of the text.
BUTTONS = [(64, "about", 64, 74, 4, 0), (176, "contact", 180, 74, 0, 0), (280, "site", 285, 76, 0, 2),
           (384, "search", 412, 40, 0, 0)]
BRAND_CENTRE = (587, 96)

# Secondary windows: the back hot area, its caption (bold width), headings (bold), other labels.
SUPPORT_SIZE = (349, 249)
SUPPORT_BACK, SUPPORT_BACK_CAPTION = (256, 216, 81, 25), (275, 222, 44, 13)
SUPPORT_HEADING = (216, 80, 96, 13)
SUPPORT_LINES = [(123, 112, 210, 13), (72, 144, 135, 13), (16, 176, 103, 13)]
SUPPORT_ADDRESS_ROOM = 56   # the e-mail address line grows to the left when the address is longer
MAKER_SIZE = (350, 223)
MAKER_BACK, MAKER_BACK_CAPTION = (256, 192, 81, 25), (272, 200, 44, 13)
MAKER_HEADINGS = [(224, 80, 81, 13), (208, 112, 99, 13), (240, 149, 72, 13)]
MAKER_VALUES = [(184, 80, 30, 13), (160, 112, 36, 13), (208, 149, 18, 13)]
MAKER_NAMES_ROOM = 120      # a longer name grows to the left of its caption
ACCENT_COLUMN = 320         # the headings' accent bars line up here in the small windows


# ---------------------------------------------------------------- drawing helpers

def font(size, bold=False):
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    return ImageFont.truetype(str(FONT_DIR / name), round(size * SS))


def sc(*values):
    """Final-pixel coordinates to the supersampled canvas."""
    return [v * SS for v in values]


def box(rect, grow=0.0):
    """(left, top, width, height) to a supersampled [x0, y0, x1, y1], grown on every side."""
    left, top, width, height = rect
    return [round(v) for v in sc(left - grow, top - grow, left + width + grow, top + height + grow)]


def new_layer(size):
    return Image.new("RGBA", size, (0, 0, 0, 0))


def with_alpha(colour, alpha):
    return colour[:3] + (round(alpha * 255),)


def composite(base, layer, glow=0.0, glow_strength=1.0):
    """Lays layer over base; with glow, a blurred copy of it lies underneath as a soft halo."""
    if glow:
        halo = layer.filter(ImageFilter.GaussianBlur(glow * SS))
        if glow_strength != 1.0:
            halo.putalpha(halo.getchannel("A").point(lambda a: min(255, round(a * glow_strength))))
        base.alpha_composite(halo)
    base.alpha_composite(layer)


def gradient(size, top_colour, bottom_colour, horizontal=False):
    mask = Image.linear_gradient("L").resize(size, Image.BICUBIC)
    if horizontal:
        mask = mask.transpose(Image.ROTATE_270).resize(size, Image.BICUBIC)
    return Image.composite(Image.new("RGBA", size, bottom_colour + (255,)),
                           Image.new("RGBA", size, top_colour + (255,)), mask)


def radial_glow(canvas, centre, radius, colour, strength):
    """A soft round light: full strength in the middle, fading to nothing at radius."""
    cx, cy = sc(*centre)
    r = radius * SS
    fade = Image.radial_gradient("L").resize((round(2 * r), round(2 * r)), Image.BICUBIC)
    # The stock gradient reaches 181 at the middle of its edges (255 only in the corners):
    # treat 180 as the rim and fall off smoothly, so that no hard circle shows.
    alpha = fade.point(lambda v: round((1 - min(1.0, v / 180)) ** 2 * 255 * strength))
    spot = Image.new("RGBA", fade.size, colour + (0,))
    spot.putalpha(alpha)
    layer = new_layer(canvas.size)
    layer.paste(spot, (round(cx - r), round(cy - r)))
    canvas.alpha_composite(layer)


def dot_grid(canvas, step, colour, alpha, region=None):
    """A faint grid of dots that gives the dark surface some texture."""
    layer = new_layer(canvas.size)
    draw = ImageDraw.Draw(layer)
    width, height = canvas.width // SS, canvas.height // SS
    x0, y0, x1, y1 = region or (0, 0, width, height)
    for y in range(y0 + step // 2, y1, step):
        for x in range(x0 + step // 2, x1, step):
            draw.ellipse(sc(x - 0.6, y - 0.6, x + 0.6, y + 0.6), fill=with_alpha(colour, alpha))
    canvas.alpha_composite(layer)


def dark_surface(size, seed):
    """The common backdrop of every window: night blue to deep teal, with soft lights."""
    canvas = gradient((size[0] * SS, size[1] * SS), DEEP_BLUE, NIGHT)
    side = gradient(canvas.size, DEEP_TEAL, NIGHT, horizontal=True)
    side.putalpha(150)
    canvas.alpha_composite(side)
    dot_grid(canvas, 12, CYAN, 0.07)
    rng = random.Random(seed)
    for _ in range(3):  # a few very faint drifting lights keep large areas from looking flat
        centre = (rng.uniform(0, size[0]), rng.uniform(0, size[1]))
        radial_glow(canvas, centre, rng.uniform(60, 120), CYAN, 0.05)
    return canvas


def panel(canvas, rect, radius, fill_alpha=0.55, edge_alpha=0.55, glow=3.0):
    """A slightly lighter rounded plate with a thin light edge, e.g. the frame of a text box."""
    layer = new_layer(canvas.size)
    draw = ImageDraw.Draw(layer)
    draw.rounded_rectangle(rect, radius * SS, fill=with_alpha(PANEL, fill_alpha),
                           outline=with_alpha(PANEL_EDGE, edge_alpha), width=SS)
    composite(canvas, layer, glow=glow, glow_strength=0.5)


def dashed_rounded_frame(draw, rect, radius, dash, gap, colour, width):
    """Dashes along the straight sides, solid arcs at the corners: the classic 'ad space' look."""
    x0, y0, x1, y1 = rect
    r = radius * SS
    for a, b in (((x0 + r, y0), (x1 - r, y0)), ((x0 + r, y1), (x1 - r, y1)),
                 ((x0, y0 + r), (x0, y1 - r)), ((x1, y0 + r), (x1, y1 - r))):
        length = math.dist(a, b)
        steps = max(1, round(length / ((dash + gap) * SS)))
        period = length / steps
        for i in range(steps):
            t0 = (i * period + gap * SS / 2) / length
            t1 = (i * period + gap * SS / 2 + dash * SS) / length
            draw.line([(a[0] + (b[0] - a[0]) * t0, a[1] + (b[1] - a[1]) * t0),
                       (a[0] + (b[0] - a[0]) * min(t1, 1), a[1] + (b[1] - a[1]) * min(t1, 1))],
                      fill=colour, width=width)
    for (cx, cy), start in (((x0 + r, y0 + r), 180), ((x1 - r, y0 + r), 270),
                            ((x1 - r, y1 - r), 0), ((x0 + r, y1 - r), 90)):
        draw.arc([cx - r, cy - r, cx + r, cy + r], start, start + 90, fill=colour, width=width)


def text_centre(draw, centre, text, text_font, fill, spacing=0.0):
    """Text centred on a point, with optional extra letter spacing (in final pixels)."""
    cx, cy = centre
    widths = [draw.textlength(ch, font=text_font) for ch in text]
    total = sum(widths) + spacing * SS * (len(text) - 1)
    top, bottom = text_font.getbbox(text)[1], text_font.getbbox(text)[3]
    x = cx - total / 2
    y = cy - (top + bottom) / 2
    for ch, w in zip(text, widths):
        draw.text((x, y), ch, font=text_font, fill=fill)
        x += w + spacing * SS


# ---------------------------------------------------------------- the logo

def rotate(point, angle):
    x, y = point
    c, s = math.cos(angle), math.sin(angle)
    return (x * c - y * s, x * s + y * c)


def stadium_points(centre_u, length, width, steps=24):
    """Outline of a chain link lying along the vane's axis, in axis units (u along, v across)."""
    half = (length - width) / 2
    r = width / 2
    points = []
    for i in range(steps + 1):  # the cap towards +u
        a = -math.pi / 2 + math.pi * i / steps
        points.append((centre_u + half + r * math.cos(a), r * math.sin(a)))
    for i in range(steps + 1):  # the cap towards -u
        a = math.pi / 2 + math.pi * i / steps
        points.append((centre_u - half + r * math.cos(a), r * math.sin(a)))
    points.append(points[0])
    return points


def draw_logo(image, centre, radius, detailed=True):
    """The Linkvane mark: a compass ring and a weather vane whose shaft is two chain links.

    centre and radius are in the image's own pixels. The small variant leaves out the compass
    rose and thickens every stroke so that it still reads at 16 pixels.
    """
    cx, cy = centre
    r = radius
    axis = -math.pi / 4  # the vane points north-east

    def to_image(u, v):
        x, y = rotate((u * r, v * r), axis)
        return (cx + x, cy + y)

    ring = new_layer(image.size)
    draw = ImageDraw.Draw(ring)
    ring_width = (0.085 if detailed else 0.15) * r
    if detailed:  # the compass rose behind the vane
        for k in range(8):
            a = k * math.pi / 4
            reach = 0.86 if k % 2 == 0 else 0.55
            tip = (cx + math.sin(a) * reach * r, cy - math.cos(a) * reach * r)
            side1 = (cx + math.sin(a + 0.5 * math.pi) * 0.1 * r, cy - math.cos(a + 0.5 * math.pi) * 0.1 * r)
            side2 = (cx + math.sin(a - 0.5 * math.pi) * 0.1 * r, cy - math.cos(a - 0.5 * math.pi) * 0.1 * r)
            draw.polygon([tip, side1, side2], fill=with_alpha(CYAN, 0.16 if k % 2 == 0 else 0.10))
        for k in range(36):  # degree ticks inside the ring
            a = k * math.pi / 18
            inner = 0.80 if k % 9 == 0 else 0.86
            draw.line([(cx + math.sin(a) * inner * r, cy - math.cos(a) * inner * r),
                       (cx + math.sin(a) * 0.9 * r, cy - math.cos(a) * 0.9 * r)],
                      fill=with_alpha(CYAN, 0.55 if k % 9 == 0 else 0.25), width=max(1, round(0.018 * r)))
        north = [(cx, cy - 1.2 * r), (cx - 0.09 * r, cy - 1.03 * r), (cx + 0.09 * r, cy - 1.03 * r)]
        draw.polygon(north, fill=AMBER + (255,))
    draw.ellipse([cx - r, cy - r, cx + r, cy + r], outline=TEAL + (255,), width=round(ring_width))
    composite(image, ring, glow=0.06 * r / SS, glow_strength=0.9)

    vane = new_layer(image.size)
    draw = ImageDraw.Draw(vane)
    link_width = (0.075 if detailed else 0.13) * r
    gap_width = link_width * 2.2
    # Tail feathers at the south-west end.
    for offset in ((0.0,) if not detailed else (0.0, 0.13)):
        tail = [to_image(-0.50 - offset, 0), to_image(-0.70 - offset, -0.20), to_image(-0.80 - offset, -0.20),
                to_image(-0.62 - offset, 0), to_image(-0.80 - offset, 0.20), to_image(-0.70 - offset, 0.20)]
        draw.polygon(tail, fill=CYAN + (255,))
    # The shaft: two interlocked links.
    far_link = [to_image(u, v) for u, v in stadium_points(-0.24, 0.52, 0.25)]
    near_link = [to_image(u, v) for u, v in stadium_points(0.12, 0.52, 0.25)]
    draw.line(far_link, fill=ICE + (255,), width=round(link_width), joint="curve")
    draw.line(near_link, fill=NIGHT + (255,), width=round(gap_width), joint="curve")
    draw.line(near_link, fill=ICE + (255,), width=round(link_width), joint="curve")
    if detailed:  # let the far link pass back over the near one on one side, so they interlock
        over = [to_image(u, v) for u, v in stadium_points(-0.24, 0.52, 0.25)[2:12]]
        draw.line(over, fill=NIGHT + (255,), width=round(gap_width), joint="curve")
        draw.line(over, fill=ICE + (255,), width=round(link_width), joint="curve")
    # The arrow head at the north-east end.
    head = [to_image(0.86, 0), to_image(0.44, -0.24), to_image(0.52, 0), to_image(0.44, 0.24)]
    draw.polygon(head, fill=AMBER + (255,))
    composite(image, vane, glow=0.05 * r / SS, glow_strength=0.7)


def icon_image(size):
    """The application icon at one size: the mark on a dark rounded tile, drawn big and reduced."""
    scale = 8 if size <= 48 else 2
    big = size * scale
    tile = gradient((big, big), (16, 52, 70), NIGHT)
    mask = Image.new("L", (big, big), 0)
    ImageDraw.Draw(mask).rounded_rectangle([0, 0, big - 1, big - 1], round(big * 0.2), fill=255)
    image = new_layer((big, big))
    image.paste(tile, (0, 0), mask)
    edge = new_layer((big, big))
    ImageDraw.Draw(edge).rounded_rectangle([0, 0, big - 1, big - 1], round(big * 0.2),
                                           outline=with_alpha(TEAL, 0.6), width=max(1, big // 40))
    image.alpha_composite(edge)
    detailed = size >= 48
    draw_logo(image, (big / 2, big / 2 + (big * 0.03 if detailed else 0)),
              big * (0.36 if detailed else 0.42), detailed=detailed)
    return image.resize((size, size), Image.LANCZOS)


# ---------------------------------------------------------------- small symbols

def draw_symbol(draw, kind, centre, size, colour):
    """Line-art symbols for the buttons and the clock and date rows, size in final pixels."""
    cx, cy = sc(*centre)
    s = size * SS
    w = max(SS, round(s * 0.1))

    def p(u, v):  # u, v in -0.5 .. 0.5 of the symbol's square
        return (cx + u * s, cy + v * s)

    if kind == "about":
        draw.ellipse([*p(-0.46, -0.46), *p(0.46, 0.46)], outline=colour, width=w)
        draw.ellipse([*p(-0.07, -0.30), *p(0.07, -0.16)], fill=colour)
        draw.rounded_rectangle([*p(-0.06, -0.08), *p(0.06, 0.30)], round(s * 0.03), fill=colour)
    elif kind == "contact":
        draw.rounded_rectangle([*p(-0.48, -0.32), *p(0.48, 0.32)], round(s * 0.06), outline=colour, width=w)
        draw.line([p(-0.44, -0.27), p(0, 0.06), p(0.44, -0.27)], fill=colour, width=w, joint="curve")
    elif kind == "site":
        draw.ellipse([*p(-0.46, -0.46), *p(0.46, 0.46)], outline=colour, width=w)
        draw.ellipse([*p(-0.2, -0.46), *p(0.2, 0.46)], outline=colour, width=w)
        draw.line([p(-0.46, 0), p(0.46, 0)], fill=colour, width=w)
        draw.line([p(-0.38, -0.24), p(0.38, -0.24)], fill=colour, width=max(SS, w * 2 // 3))
        draw.line([p(-0.38, 0.24), p(0.38, 0.24)], fill=colour, width=max(SS, w * 2 // 3))
    elif kind == "search":
        draw.ellipse([*p(-0.44, -0.44), *p(0.16, 0.16)], outline=colour, width=w)
        draw.line([p(0.12, 0.12), p(0.46, 0.46)], fill=colour, width=round(w * 1.6))
    elif kind == "clock":
        draw.ellipse([*p(-0.46, -0.46), *p(0.46, 0.46)], outline=colour, width=w)
        draw.line([p(0, -0.3), p(0, 0), p(0.22, 0.12)], fill=colour, width=w, joint="curve")
    elif kind == "calendar":
        draw.rounded_rectangle([*p(-0.44, -0.36), *p(0.44, 0.46)], round(s * 0.08), outline=colour, width=w)
        draw.rectangle([*p(-0.44, -0.36), *p(0.44, -0.14)], fill=colour)
        for u in (-0.22, 0.22):
            draw.line([p(u, -0.50), p(u, -0.28)], fill=colour, width=w)
        for row in (0.04, 0.26):
            for u in (-0.22, 0, 0.22):
                draw.rectangle([*p(u - 0.06, row - 0.05), *p(u + 0.06, row + 0.05)], fill=colour)
    elif kind == "back":  # right-to-left reading: going back points to the right
        draw.line([p(-0.42, 0), p(0.38, 0)], fill=colour, width=w)
        draw.line([p(0.06, -0.34), p(0.42, 0), p(0.06, 0.34)], fill=colour, width=w, joint="curve")
    elif kind == "megaphone":
        draw.polygon([p(-0.30, -0.12), p(0.26, -0.42), p(0.26, 0.42), p(-0.30, 0.12)], outline=colour, width=w)
        draw.rectangle([*p(-0.46, -0.12), *p(-0.30, 0.12)], outline=colour, width=w)
        draw.line([p(-0.22, 0.12), p(-0.14, 0.42)], fill=colour, width=w)
        for reach in (0.36, 0.48):
            draw.arc([*p(0.26 - reach / 2, -reach / 2), *p(0.26 + reach / 2, reach / 2)], -40, 40,
                     fill=colour, width=max(SS, w * 2 // 3))
    else:
        raise ValueError(kind)


def draw_symbols(canvas, symbols, colour=ICE, glow=1.6):
    """symbols: (kind, centre, size) triples drawn with a soft teal halo."""
    layer = new_layer(canvas.size)
    draw = ImageDraw.Draw(layer)
    for kind, centre, size in symbols:
        draw_symbol(draw, kind, centre, size, colour + (255,))
    halo = new_layer(canvas.size)
    halo_draw = ImageDraw.Draw(halo)
    for kind, centre, size in symbols:
        draw_symbol(halo_draw, kind, centre, size, TEAL + (255,))
    canvas.alpha_composite(halo.filter(ImageFilter.GaussianBlur(glow * SS)))
    canvas.alpha_composite(layer)


# ---------------------------------------------------------------- shared pieces

def heading_accent(canvas, heading, rule_left=None, bar_left=None):
    """A small amber bar right of a bold heading and, when rule_left is given, a fine rule that
    runs leftwards from the heading and fades out towards rule_left."""
    left, top, width, height = heading
    layer = new_layer(canvas.size)
    if rule_left is not None:
        rule_size = ((left - 6 - rule_left) * SS, SS)
        fade = Image.linear_gradient("L").transpose(Image.ROTATE_90).resize(rule_size, Image.BICUBIC)
        rule = Image.new("RGBA", rule_size, TEAL + (0,))
        rule.putalpha(fade.point(lambda a: round((255 - a) * 0.75)))
        layer.paste(rule, (rule_left * SS, round((top + height / 2) * SS)))
    draw = ImageDraw.Draw(layer)
    bar_left = bar_left or left + width + 4
    draw.rounded_rectangle(sc(bar_left, top + 1, bar_left + 3, top + height - 1), SS, fill=AMBER + (255,))
    composite(canvas, layer, glow=1.5, glow_strength=0.6)


def pill_button(canvas, rect, radius, icon_kind, icon_size, icon_inset):
    """A rounded button plate; its icon sits at the right end, the caption goes left of it."""
    left, top, width, height = rect
    plate = gradient((width * SS, height * SS), (30, 92, 112), (13, 48, 64))
    mask = Image.new("L", plate.size, 0)
    ImageDraw.Draw(mask).rounded_rectangle([0, 0, plate.width - 1, plate.height - 1], radius * SS, fill=255)
    layer = new_layer(canvas.size)
    layer.paste(plate, (left * SS, top * SS), mask)
    draw = ImageDraw.Draw(layer)
    draw.rounded_rectangle(box(rect), radius * SS, outline=with_alpha(CYAN, 0.55), width=SS)
    # A thin highlight along the top edge gives the plate some depth.
    draw.line(sc(left + radius, top + 1.5, left + width - radius, top + 1.5), fill=with_alpha(ICE, 0.25), width=SS)
    composite(canvas, layer, glow=3.0, glow_strength=0.55)
    centre = (left + width - icon_inset, top + height / 2)
    draw_symbols(canvas, [(icon_kind, centre, icon_size)])


def wordmark(canvas, centre, size, spacing=0.6):
    """'Linkvane' in white-to-cyan lettering with a soft glow."""
    mask = Image.new("L", canvas.size, 0)
    text_centre(ImageDraw.Draw(mask), sc(*centre), "Linkvane", font(size, bold=True), 255, spacing)
    fill = gradient(canvas.size, ICE, CYAN)
    layer = new_layer(canvas.size)
    layer.paste(fill, (0, 0), mask)
    composite(canvas, layer, glow=2.0, glow_strength=0.6)


def fading_alpha(size, strength, fade_length):
    """Alpha mask: strength (0..1) over the width, fading to nothing over the last fade_length px."""
    width, height = size
    mask = Image.new("L", size, 0)
    draw = ImageDraw.Draw(mask)
    fade_start = width - fade_length * SS
    for x in range(width):
        level = 1.0 if x < fade_start else 1.0 - (x - fade_start) / (width - fade_start)
        draw.line([(x, 0), (x, height)], fill=round(255 * strength * level))
    return mask


def header_band(canvas, bottom, width, fade_length):
    """A slightly lighter strip at the top with a glowing teal line along its lower edge; its right
    end fades out so that the brand artwork beside it is not cut by a hard edge."""
    band = gradient((width * SS, bottom * SS), (14, 44, 64), (9, 26, 42))
    band.putalpha(fading_alpha(band.size, 0.8, fade_length))
    line = Image.new("RGBA", (width * SS, SS), TEAL + (0,))
    line.putalpha(fading_alpha(line.size, 0.75, fade_length * 2))
    layer = new_layer(canvas.size)
    layer.paste(band, (0, 0))
    layer.paste(line, (0, (bottom - 1) * SS))
    composite(canvas, layer, glow=2.0, glow_strength=0.5)


def network_lines(canvas, region, seed, count):
    """Faint nodes joined by links: the 'link' theme as a quiet texture."""
    x0, y0, x1, y1 = region
    rng = random.Random(seed)
    nodes = [(rng.uniform(x0, x1), rng.uniform(y0, y1)) for _ in range(count)]
    layer = new_layer(canvas.size)
    draw = ImageDraw.Draw(layer)
    for i, a in enumerate(nodes):
        nearest = sorted(nodes[:i] + nodes[i + 1:], key=lambda b: math.dist(a, b))[:2]
        for b in nearest:
            draw.line(sc(*a, *b), fill=with_alpha(CYAN, 0.10), width=SS // 2)
    for x, y in nodes:
        draw.ellipse(sc(x - 1.2, y - 1.2, x + 1.2, y + 1.2), fill=with_alpha(CYAN, 0.30))
    composite(canvas, layer, glow=1.0, glow_strength=0.8)


def corner_rings(canvas, corner, radii):
    """Quiet compass arcs around a corner, echoing the ring of the mark."""
    cx, cy = corner
    layer = new_layer(canvas.size)
    draw = ImageDraw.Draw(layer)
    for i, r in enumerate(radii):
        draw.arc(sc(cx - r, cy - r, cx + r, cy + r), 180, 270, fill=with_alpha(CYAN, 0.10 - 0.02 * i), width=SS)
        for k in range(1, 9):  # degree marks along the arc
            a = math.radians(180 + k * 10)
            draw.line(sc(cx + math.cos(a) * (r - 2), cy + math.sin(a) * (r - 2),
                         cx + math.cos(a) * (r + 2), cy + math.sin(a) * (r + 2)),
                      fill=with_alpha(CYAN, 0.10 - 0.02 * i), width=SS)
    composite(canvas, layer, glow=1.0, glow_strength=0.5)


def finish(canvas):
    size = (round(canvas.width * SCALE / SS), round(canvas.height * SCALE / SS))
    return canvas.resize(size, Image.LANCZOS).convert("RGB")


def at_scale(scale, draw):
    """Draws a picture at a scale: the layout's pixel coordinates stay, the drawing is finer."""
    global SS, SCALE
    saved = SS, SCALE
    SS, SCALE = round(4 * scale), scale
    try:
        return draw()
    finally:
        SS, SCALE = saved


def scaled_name(name, scale):
    stem, dot, extension = name.rpartition(".")
    return f"{stem}-{scale:g}x{dot}{extension}"


# ---------------------------------------------------------------- the three backgrounds

def main_background():
    canvas = dark_surface(MAIN_SIZE, seed=11)
    radial_glow(canvas, BRAND_CENTRE, 150, TEAL, 0.16)
    header_band(canvas, 46, 520, fade_length=70)
    network_lines(canvas, (10, 6, 470, 40), seed=5, count=16)

    # Brand column: the mark, the name and a quiet line under it.
    layer = new_layer(canvas.size)
    draw_logo(layer, sc(*BRAND_CENTRE), 60 * SS)
    canvas.alpha_composite(layer)
    wordmark(canvas, (BRAND_CENTRE[0], 188), 24)
    tagline = new_layer(canvas.size)
    text_centre(ImageDraw.Draw(tagline), sc(BRAND_CENTRE[0], 210), "FIND  \u00b7  LINK  \u00b7  GO",
                font(7.5), with_alpha(MUTED, 0.95), spacing=1.2)
    canvas.alpha_composite(tagline)

    # The advertising placeholder under the banner area.
    panel(canvas, box(BANNER), 6, fill_alpha=0.35, edge_alpha=0.0)
    hatch = new_layer(canvas.size)
    draw = ImageDraw.Draw(hatch)
    bx0, by0, bx1, by1 = box(BANNER)
    for x in range(bx0 - (by1 - by0), bx1, 14 * SS):
        draw.line([(x, by1), (x + (by1 - by0), by0)], fill=with_alpha(CYAN, 0.045), width=3 * SS)
    clip = Image.new("L", canvas.size, 0)
    ImageDraw.Draw(clip).rounded_rectangle(box(BANNER), 6 * SS, fill=255)
    masked = new_layer(canvas.size)
    masked.paste(hatch, (0, 0), clip)
    canvas.alpha_composite(masked)
    frame = new_layer(canvas.size)
    dashed_rounded_frame(ImageDraw.Draw(frame), box(BANNER, -1), 6, 7, 5, with_alpha(CYAN, 0.55), SS)
    composite(canvas, frame, glow=1.5, glow_strength=0.6)
    centre_x = BANNER[0] + BANNER[2] / 2
    centre_y = BANNER[1] + BANNER[3] / 2
    draw_symbols(canvas, [("megaphone", (centre_x - 44, centre_y), 24)], colour=(150, 206, 222), glow=1.2)
    hint = new_layer(canvas.size)
    hint_draw = ImageDraw.Draw(hint)
    text_centre(hint_draw, sc(centre_x + 20, centre_y - 6), "AD SPACE", font(10, bold=True),
                with_alpha(ICE, 0.7), spacing=1.5)
    text_centre(hint_draw, sc(centre_x + 20, centre_y + 9), "460 \u00d7 68", font(8), with_alpha(MUTED, 0.9),
                spacing=0.8)
    canvas.alpha_composite(hint)

    # Frames behind the message box and the address box.
    panel(canvas, box(MESSAGE_BOX, 3), 5)
    panel(canvas, box(ADDRESS_BOX, 3), 5)

    # Headings.
    heading_accent(canvas, BANNER_HEADING, rule_left=BANNER[0])
    heading_accent(canvas, MESSAGE_HEADING, rule_left=MESSAGE_BOX[0] - 3)
    heading_accent(canvas, ADDRESS_HEADING, rule_left=ADDRESS_BOX[0] - 3)

    # Time and date rows with their symbols right of the headings.
    # (The time plate starts right of the message box frame, which reaches down beside it.)
    panel(canvas, sc(TIME_VALUE[0] - 6, 233, 688, 259), 6, fill_alpha=0.45, edge_alpha=0.35, glow=2.0)
    panel(canvas, sc(DATE_PANEL_LEFT, 265, 688, 291), 6, fill_alpha=0.45, edge_alpha=0.35, glow=2.0)
    draw_symbols(canvas, [("clock", (SYMBOL_COLUMN, TIME_HEADING[1] + 6.5), 14),
                          ("calendar", (SYMBOL_COLUMN, DATE_HEADING[1] + 6.5), 14)])

    corner_rings(canvas, MAIN_SIZE, (46, 76, 106))

    for left, kind, _caption_left, _caption_width, wider_left, wider_right in BUTTONS:
        plate = (left - wider_left, BUTTON_TOP, BUTTON_SIZE[0] + wider_left + wider_right, BUTTON_SIZE[1])
        pill_button(canvas, plate, 9, kind, BUTTON_ICON_SIZE, BUTTON_ICON_INSET)
    return finish(canvas)


def secondary_background(size, back, heading_rects, title, seed, rule_left=None):
    canvas = dark_surface(size, seed=seed)
    width, height = size
    header_band(canvas, 58, width, fade_length=0.01)
    network_lines(canvas, (8, 6, width - 120, 50), seed=seed + 1, count=7)
    layer = new_layer(canvas.size)
    draw_logo(layer, sc(width - 32, 30), 19 * SS)
    canvas.alpha_composite(layer)
    wordmark(canvas, (width - 110, 24), 16)
    subtitle = new_layer(canvas.size)
    text_centre(ImageDraw.Draw(subtitle), sc(width - 110, 43), title, font(7.5), with_alpha(MUTED, 0.95),
                spacing=1.6)
    canvas.alpha_composite(subtitle)
    panel(canvas, sc(8, 68, width - 8, back[1] - 8), 8, fill_alpha=0.30, edge_alpha=0.30, glow=2.0)
    for heading in heading_rects:
        heading_accent(canvas, heading, rule_left=rule_left, bar_left=ACCENT_COLUMN)
    pill_button(canvas, back, 8, "back", 11, 9)
    return canvas


def support_background():
    canvas = secondary_background(SUPPORT_SIZE, SUPPORT_BACK, [SUPPORT_HEADING], "SUPPORT", seed=21, rule_left=16)
    return finish(canvas)


def maker_background():
    # No rules here: each heading has its value on the same line, left of it.
    canvas = secondary_background(MAKER_SIZE, MAKER_BACK, MAKER_HEADINGS, "MADE BY", seed=31)
    return finish(canvas)


# ---------------------------------------------------------------- icon file

def bmp_rows_bottom_up(rows):
    return b"".join(reversed(rows))


def and_mask(alpha_image):
    """1 bit per pixel, set where the icon is transparent; rows padded to 4 bytes."""
    width, height = alpha_image.size
    stride = (width + 31) // 32 * 4
    pixels = alpha_image.load()
    rows = []
    for y in range(height):
        row = bytearray(stride)
        for x in range(width):
            if pixels[x, y] < 128:
                row[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
    return bmp_rows_bottom_up(rows)


def bitmap_info_header(width, height, bits, image_bytes, colours_used=0):
    # Icon bitmaps store twice the height: the colour image, then the mask.
    return struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0, image_bytes, 0, 0, colours_used, 0)


def icon_entry_32bpp(image):
    width, height = image.size
    pixels = image.load()
    rows = []
    for y in range(height):
        rows.append(b"".join(struct.pack("BBBB", b, g, r, a) for r, g, b, a in
                             (pixels[x, y] for x in range(width))))
    colour = bmp_rows_bottom_up(rows)
    mask = and_mask(image.getchannel("A"))
    return bitmap_info_header(width, height, 32, len(colour) + len(mask)) + colour + mask


def icon_entry_8bpp(image):
    """256-colour palette; index 0 is black so that masked-out pixels stay transparent."""
    width, height = image.size
    opaque = Image.new("RGB", image.size, NIGHT)
    opaque.paste(image, (0, 0), image)
    quantised = opaque.quantize(colors=255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    palette = quantised.getpalette()[: 255 * 3]
    palette += [0, 0, 0] * (255 - len(palette) // 3)
    alpha = image.getchannel("A").load()
    indices = quantised.load()
    stride = (width + 3) // 4 * 4
    rows = []
    for y in range(height):
        row = bytearray(stride)
        for x in range(width):
            row[x] = indices[x, y] + 1 if alpha[x, y] >= 128 else 0
        rows.append(bytes(row))
    colour = bmp_rows_bottom_up(rows)
    mask = and_mask(image.getchannel("A"))
    table = struct.pack("BBBB", 0, 0, 0, 0) + b"".join(
        struct.pack("BBBB", palette[3 * i + 2], palette[3 * i + 1], palette[3 * i], 0) for i in range(255))
    return bitmap_info_header(width, height, 8, len(colour) + len(mask), 256) + table + colour + mask


ICON_LAYOUT = [(48, 8), (32, 8), (16, 8), (48, 32), (32, 32), (24, 32), (16, 32)]


def icon_file(images):
    """An ICO container of BMP entries, in the order of ICON_LAYOUT."""
    entries = [icon_entry_8bpp(images[size]) if bits == 8 else icon_entry_32bpp(images[size])
               for size, bits in ICON_LAYOUT]
    offset = 6 + 16 * len(entries)
    directory = struct.pack("<HHH", 0, 1, len(entries))
    for (size, bits), data in zip(ICON_LAYOUT, entries):
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return directory + b"".join(entries)


# ---------------------------------------------------------------- hand cursor

# B black outline, W white fill, anything else transparent. Row 0 is the top; the finger tip
# at column 5 of row 0 is the hot spot.
HAND = [
    ".....BB",
    "....BWWB",
    "....BWWB",
    "....BWWB",
    "....BWWBBB",
    "....BWWBWWBBB",
    "....BWWBWWBWWB",
    "....BWWBWWBWWBBB",
    "....BWWBWWBWWBWWB",
    ".BB.BWWBWWBWWBWWB",
    "BWWBBWWBWWBWWBWWB",
    "BWWWBWWWWWWWWWWWB",
    ".BWWWWWWWWWWWWWWB",
    ".BWWWWWWWWWWWWWWB",
    "..BWWWWWWWWWWWWWB",
    "..BWWWWWWWWWWWWWB",
    "...BWWWWWWWWWWWB",
    "...BWWWWWWWWWWWB",
    "....BWWWWWWWWWB",
    "....BWWWWWWWWWB",
    "....BWWWWWWWWWB",
    "....BBBBBBBBBBB",
]
HAND_HOT_SPOT = (5, 0)


def cursor_file(art, hot_spot):
    """A Windows .cur with one 32 x 32 1-bpp image: XOR mask white where W, AND mask clear on B and W."""
    size = 32
    stride = size // 8
    xor_rows, and_rows = [], []
    for y in range(size):
        line = art[y] if y < len(art) else ""
        xor_row, and_row = bytearray(stride), bytearray(b"\xff" * stride)
        for x in range(size):
            pixel = line[x] if x < len(line) else "."
            if pixel in "BW":
                and_row[x // 8] &= ~(0x80 >> (x % 8)) & 0xFF
            if pixel == "W":
                xor_row[x // 8] |= 0x80 >> (x % 8)
        xor_rows.append(bytes(xor_row))
        and_rows.append(bytes(and_row))
    masks = bmp_rows_bottom_up(xor_rows) + bmp_rows_bottom_up(and_rows)
    image = bitmap_info_header(size, size, 1, len(masks)) + struct.pack("<II", 0x000000, 0xFFFFFF) + masks
    header = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, hot_spot[0], hot_spot[1], len(image), 6 + 16)
    return header + entry + image


# ---------------------------------------------------------------- demo banner

def demo_banner():
    """A banner for 'Skyloom', a made-up photo cloud: bright enough to stand out on the dark window."""
    width, height = 460, 68
    canvas = gradient((width * SS, height * SS), (88, 44, 160), (236, 96, 82), horizontal=True)
    radial_glow(canvas, (70, 20), 120, (255, 214, 120), 0.35)
    layer = new_layer(canvas.size)
    draw = ImageDraw.Draw(layer)
    for i, (x, y, r) in enumerate([(42, 40, 16), (60, 30, 20), (80, 40, 15)]):  # the cloud
        draw.ellipse(sc(x - r, y - r, x + r, y + r), fill=(255, 255, 255, 255))
    draw.rounded_rectangle(sc(28, 38, 94, 55), 8 * SS, fill=(255, 255, 255, 255))
    draw.line(sc(61, 50, 61, 34), fill=(120, 70, 180, 255), width=3 * SS)
    draw.line(sc(54, 40, 61, 33, 68, 40), fill=(120, 70, 180, 255), width=3 * SS, joint="curve")
    composite(canvas, layer, glow=3, glow_strength=0.5)
    text = new_layer(canvas.size)
    draw = ImageDraw.Draw(text)
    draw.text(sc(108, 9), "Skyloom", font=font(22, bold=True), fill=(255, 255, 255, 255))
    draw.text(sc(110, 40), "Your photos, safe in the clouds \u00b7 skyloom.example", font=font(9.5),
              fill=(255, 240, 230, 255))
    draw.rounded_rectangle(sc(352, 18, 446, 50), 16 * SS, fill=(255, 255, 255, 255))
    text_centre(draw, sc(399, 34), "50 GB FREE", font(10, bold=True), (200, 70, 90, 255), spacing=0.5)
    composite(canvas, text, glow=2, glow_strength=0.4)
    return finish(canvas)


# ---------------------------------------------------------------- checks

def relative_luminance(rgb):
    def linear(c):
        c /= 255
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def check_white_text_readable(name, picture, rects, minimum_contrast=4.5, scale=1):
    """White text must stand out (WCAG contrast 4.5:1) against the brightest pixel of its label."""
    for rect in rects:
        left, top, width, height = (round(v * scale) for v in rect)
        region = picture.crop((left, top, left + width, top + height))
        brightest = max(relative_luminance(p) for p in region.getdata())
        contrast = 1.05 / (brightest + 0.05)
        assert contrast >= minimum_contrast, \
            f"{name}: white text at {(left, top, width, height)} has contrast {contrast:.2f} only"


def widened(rect, left=0, right=2):
    """A label's rectangle with some slack: text may take a pixel or two more than measured."""
    x, y, w, h = rect
    return (x - left, y, w + left + right, h)


def main_label_rects():
    captions = [(caption_left, BUTTON_CAPTION_TOP, caption_width, 13)
                for _left, _kind, caption_left, caption_width, _wider_left, _wider_right in BUTTONS]
    headings = [BANNER_HEADING, MESSAGE_HEADING, ADDRESS_HEADING, TIME_HEADING, DATE_HEADING]
    return [widened(r) for r in captions + headings + [TIME_VALUE, DATE_VALUE, DATE_WIDEST]]


def support_label_rects():
    invitation, address, signature = SUPPORT_LINES
    return [widened(r) for r in (SUPPORT_BACK_CAPTION, SUPPORT_HEADING, invitation, signature)] + \
        [widened(address, left=SUPPORT_ADDRESS_ROOM)]


def maker_label_rects():
    return [widened(r) for r in [MAKER_BACK_CAPTION] + MAKER_HEADINGS] + \
        [widened(r, left=MAKER_NAMES_ROOM, right=0) for r in MAKER_VALUES]


def check_outputs(files):
    sizes = {"main-background.jpg": MAIN_SIZE, "support-background.jpg": SUPPORT_SIZE,
             "maker-background.jpg": MAKER_SIZE}
    for name, size in sizes.items():
        with Image.open(HERE / name) as picture:
            assert picture.format == "JPEG" and picture.size == size, (name, picture.size)
        for scale in SCALES:
            with Image.open(HERE / scaled_name(name, scale)) as picture:
                expected = tuple(round(v * scale) for v in size)
                assert picture.format == "JPEG" and picture.size == expected, (name, scale, picture.size)
    for name in ("banner.jpg", "banner.gif"):
        with Image.open(DEMO / name) as picture:
            assert picture.size == (460, 68), (name, picture.size)
    cursor = files["hand.cur"]
    assert len(cursor) == 326, len(cursor)
    assert struct.unpack_from("<HHH", cursor, 0) == (0, 2, 1)
    assert struct.unpack_from("<BBBBHHII", cursor, 6) == (32, 32, 2, 0, 5, 0, 304, 22)
    icon = files["linkvane.ico"]
    assert struct.unpack_from("<HHH", icon, 0) == (0, 1, len(ICON_LAYOUT))
    for i, (size, bits) in enumerate(ICON_LAYOUT):
        width, height, _, _, _, entry_bits, length, offset = struct.unpack_from("<BBBBHHII", icon, 6 + 16 * i)
        header = struct.unpack_from("<IiiHH", icon, offset)
        assert (width, height, entry_bits) == (size, size, bits) and offset + length <= len(icon)
        assert header == (40, size, 2 * size, 1, bits), header


# ---------------------------------------------------------------- main

def save_jpeg(image, path):
    image.save(path, "JPEG", quality=90, subsampling=0, optimize=True)


def main():
    main_picture = main_background()
    check_white_text_readable("main", main_picture, main_label_rects())
    save_jpeg(main_picture, HERE / "main-background.jpg")

    support = support_background()
    check_white_text_readable("support", support, support_label_rects())
    save_jpeg(support, HERE / "support-background.jpg")

    maker = maker_background()
    check_white_text_readable("maker", maker, maker_label_rects())
    save_jpeg(maker, HERE / "maker-background.jpg")

    backgrounds = [("main", "main-background.jpg", main_background, main_label_rects()),
                   ("support", "support-background.jpg", support_background, support_label_rects()),
                   ("maker", "maker-background.jpg", maker_background, maker_label_rects())]
    for scale in SCALES:
        for label, name, draw, rects in backgrounds:
            picture = at_scale(scale, draw)
            check_white_text_readable(f"{label} {scale:g}x", picture, rects, scale=scale)
            save_jpeg(picture, HERE / scaled_name(name, scale))

    icons = {size: icon_image(size) for size in (16, 24, 32, 48, 64, 128, 256)}
    (HERE / "icons").mkdir(exist_ok=True)
    for size, image in icons.items():
        image.save(HERE / "icons" / f"linkvane-{size}.png", optimize=True)
    files = {"linkvane.ico": icon_file(icons), "hand.cur": cursor_file(HAND, HAND_HOT_SPOT)}
    for name, data in files.items():
        (HERE / name).write_bytes(data)

    DEMO.mkdir(exist_ok=True)
    banner = demo_banner()
    save_jpeg(banner, DEMO / "banner.jpg")
    banner.quantize(colors=256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE).save(DEMO / "banner.gif")

    check_outputs(files)
    print("draw-artwork: all pictures written and checked")


if __name__ == "__main__":
    main()
