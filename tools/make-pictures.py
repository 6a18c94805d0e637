#!/usr/bin/python3
"""Draws Zelvora's pictures into resources/.

  splash.gif  the splash window's picture: 560 x 150, GIF89a, one 256-colour global palette
              whose entry 0 is black and transparent, one frame, not interlaced, 11,328 bytes
              (a comment block pads the file when the picture compresses smaller)
  form1.ico   the main window's icon: 32 x 32, 256 colours, three sprouts in dark red soil,
              see-through around them (the icon's mask)
  icons/NxN.png  the program's icon for the desktop's menus and dock (the hicolor theme) and
              the main window's other sizes: the same sprouts drawn anew at 16, 22, 24, 32,
              48, 64, 128 and 256 pixels, RGBA on a transparent background
  icons/scalable.svg  the same sprouts as vector shapes, for any other size
  form3.ico   the version window's icon: 32 x 32 and 16 x 16, 16 colours, a question mark on
              a green disc, see-through around the disc

The GIF and ICO files are written byte by byte here rather than by an image library, because
their exact layout matters to the windows that load them. Needs python3-pil and DejaVu Sans
(fonts-dejavu-core). Run it from anywhere; it writes next to itself in ../resources.
"""

import math
import os
import struct
import subprocess
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.join(HERE, os.pardir, "resources")

SPLASH_SIZE = (560, 150)
SPLASH_BYTES = 11328


def font_file(pattern):
    path = subprocess.run(["fc-match", "-f", "%{file}", pattern], check=True,
                          capture_output=True, text=True).stdout.strip()
    if not path.endswith((".ttf", ".otf")):
        sys.exit(f"no outline font for {pattern!r}; install fonts-dejavu-core")
    return path


# ---------------------------------------------------------------------------------------------
# GIF


def lzw_encode(indices, min_code_size, extra_clears):
    """Variable-length LZW as GIF wants it: LSB-first codes, a clear code at the start (plus
    extra ones, which only move the byte count), a fresh table whenever the 4096 codes are used."""
    clear = 1 << min_code_size
    end = clear + 1
    out = bytearray()
    acc = 0
    nbits = 0

    def emit(code, size):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    code_size = min_code_size + 1
    for _ in range(1 + extra_clears):
        emit(clear, code_size)
    table = {}
    next_code = end + 1
    prefix = None
    for value in indices:
        if prefix is None:
            prefix = value
            continue
        key = (prefix, value)
        code = table.get(key)
        if code is not None:
            prefix = code
            continue
        emit(prefix, code_size)
        table[key] = next_code
        next_code += 1
        if next_code > (1 << code_size) and code_size < 12:
            code_size += 1
        if next_code == 4096:
            emit(clear, code_size)
            table = {}
            next_code = end + 1
            code_size = min_code_size + 1
        prefix = value
    emit(prefix, code_size)
    emit(end, code_size)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def comment_block(total):
    """A comment extension of exactly `total` bytes (at least 5, or 3 for an empty one)."""
    if total == 3:
        return b"\x21\xfe\x00"
    text = b"Zelvora 1.0 "
    payload = total - 3
    blocks = -(-payload // 256)  # each block costs its length byte and up to 255 bytes
    size = payload - blocks
    data = (text * (size // len(text) + 1))[:size]
    # Spread the text over `blocks` blocks, none empty, none longer than 255 bytes.
    out = bytearray(b"\x21\xfe")
    pos = 0
    for b in range(blocks):
        n = min(255, size - pos - (blocks - b - 1))
        out.append(n)
        out += data[pos:pos + n]
        pos += n
    out.append(0)
    assert len(out) == total and pos == size
    return bytes(out)


def write_gif(path, width, height, palette, indices, size):
    assert len(palette) == 256 and palette[0] == (0, 0, 0)
    head = bytearray(b"GIF89a")
    # Logical screen: global colour table of 2^(7+1) entries, 8 bits of colour resolution.
    head += struct.pack("<HHBBB", width, height, 0x80 | 0x70 | 0x07, 0, 0)
    for rgb in palette:
        head += bytes(rgb)
    # Graphic control: no disposal, no delay, index 0 transparent.
    head += b"\x21\xf9\x04" + struct.pack("<BHB", 0x01, 0, 0) + b"\x00"
    # One frame over the whole picture, no local colour table, not interlaced.
    head += b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    for extra in range(64):
        body = bytes([8]) + sub_blocks(lzw_encode(indices, 8, extra))
        padding = size - len(head) - len(body) - 1
        if padding == 0 or padding == 3 or padding >= 5:
            break
    else:
        sys.exit("cannot pad the splash picture to its size")
    if padding < 0:
        sys.exit(f"the splash picture compresses to {size - padding} bytes, more than {size}")
    data = bytes(head) + body + (comment_block(padding) if padding else b"") + b"\x3b"
    assert len(data) == size
    with open(path, "wb") as f:
        f.write(data)


def vertical_gradient(size, stops):
    """An RGB image whose rows run through the (position 0..1, colour) stops."""
    w, h = size
    img = Image.new("RGB", size)
    px = img.load()
    for y in range(h):
        t = y / max(1, h - 1)
        for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
            if t0 <= t <= t1:
                f = (t - t0) / (t1 - t0) if t1 > t0 else 0
                c = tuple(round(a + (b - a) * f) for a, b in zip(c0, c1))
                break
        for x in range(w):
            px[x, y] = c
    return img


def make_splash(path):
    w, h = SPLASH_SIZE
    scale = 4  # drawn large, then reduced, for smooth edges
    W, H = w * scale, h * scale

    name_font = ImageFont.truetype(font_file("DejaVu Sans:bold:oblique"), 84 * scale)
    mark_font = ImageFont.truetype(font_file("DejaVu Sans:bold:oblique"), 64 * scale)

    # The lettering's outline: "Zelvora" and, a little smaller, "1.0" on the same baseline.
    mask = Image.new("L", (W, H), 0)
    d = ImageDraw.Draw(mask)
    baseline = 108 * scale
    x = 22 * scale
    d.text((x, baseline), "Zelvora", font=name_font, fill=255, anchor="ls")
    x = d.textbbox((x, baseline), "Zelvora", font=name_font, anchor="ls")[2] + 26 * scale
    d.text((x, baseline), "1.0", font=mark_font, fill=255, anchor="ls")

    art = Image.new("RGB", (W, H), (0, 0, 0))

    # The depth: the outline pushed back down and to the right, darker the further back.
    depth = 9
    for step in range(depth, 0, -1):
        shade = 40 + (depth - step) * 9
        layer = ImageChops.offset(mask, step * scale // 2 + step, step * scale // 2 + step)
        art.paste((shade - 6, shade, shade + 22), (0, 0), layer)

    # The face: polished steel, bright sky above a hard horizon, dark ground below.
    box = mask.getbbox()
    face = vertical_gradient((W, box[3] - box[1]), [
        (0.00, (250, 252, 255)),
        (0.42, (150, 165, 190)),
        (0.50, (55, 62, 82)),
        (0.72, (120, 132, 155)),
        (1.00, (225, 232, 245)),
    ])
    face_full = Image.new("RGB", (W, H), (0, 0, 0))
    face_full.paste(face, (0, box[1]))
    art.paste(face_full, (0, 0), mask)

    # A bevel: light falls from the top left onto the face's edges.
    inner = mask.filter(ImageFilter.MinFilter(2 * scale + 1))
    edge = ImageChops.subtract(mask, inner)
    lit = ImageChops.subtract(edge, ImageChops.offset(mask, -2 * scale, -2 * scale))
    art.paste((255, 255, 255), (0, 0), lit)
    shaded = ImageChops.subtract(edge, ImageChops.offset(mask, 2 * scale, 2 * scale))
    art.paste((70, 78, 100), (0, 0), shaded)

    art = art.resize((w, h), Image.LANCZOS)

    # Everything that stayed black is entry 0. The lettering gets 48 shades: more would not fit
    # the file's fixed size, and the steel looks no different with them.
    q = art.quantize(colors=48, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    pal = q.getpalette()[:255 * 3]
    pal += [0] * (255 * 3 - len(pal))
    colours = [tuple(pal[i:i + 3]) for i in range(0, 255 * 3, 3)]
    src = art.load()
    qpx = q.load()
    indices = bytearray(w * h)
    for y in range(h):
        for x in range(w):
            r, g, b = src[x, y]
            indices[y * w + x] = 0 if max(r, g, b) < 12 else qpx[x, y] + 1
    palette = [(0, 0, 0)] + colours
    write_gif(path, w, h, palette, bytes(indices), SPLASH_BYTES)


# ---------------------------------------------------------------------------------------------
# ICO


def ico_image(img, bits, palette, opaque):
    """One icon image as Windows stores it: a BITMAPINFOHEADER of twice the height, the palette,
    the colour rows bottom up, then the 1-bit transparency mask (1 = see-through)."""
    w, h = img.size
    out = bytearray(struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, bits, 0, 0, 0, 0, 0, 0))
    for r, g, b in palette:
        out += bytes((b, g, r, 0))
    px = img.load()
    row_bytes = (w * bits + 31) // 32 * 4
    for y in range(h - 1, -1, -1):
        row = bytearray(row_bytes)
        for x in range(w):
            if bits == 8:
                row[x] = px[x, y]
            else:
                row[x // 2] |= px[x, y] << (4 if x % 2 == 0 else 0)
        out += row
    mask_bytes = (w + 31) // 32 * 4
    for y in range(h - 1, -1, -1):
        row = bytearray(mask_bytes)
        for x in range(w):
            if not opaque[y][x]:
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def write_ico(path, images):
    """images: (width, height, colour count, bits, image bytes)."""
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for w, h, colours, bits, data in images:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, colours % 256, 0, 1, bits, len(data),
                           offset)
        offset += len(data)
    for *_, data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


def sprouts_shapes():
    """The sprouts as shapes on a 32-unit grid, back to front: a heap of dark red soil with a few
    lighter clods and three green sprouts growing from it, on nothing. Every shape keeps clear of
    the square's corners, so that they stay see-through at every size. Each shape is
    ("ellipse", box, colour), ("polygon", points, colour) or ("line", points, width, colour)."""
    shapes = []

    def dome(cx, bottom, rx, ry, colour):
        # The upper half of an ellipse standing on a flat base.
        points = [(cx - rx * math.cos(math.pi * i / 24), bottom - ry * math.sin(math.pi * i / 24))
                  for i in range(25)]
        shapes.append(("polygon", points, colour))

    dome(16, 30.5, 13.75, 8.5, (110, 18, 12))
    dome(16, 30.5, 12, 6.5, (130, 28, 20))
    for cx, cy in ((6, 27.5), (13, 29), (21, 27), (27, 29), (10, 25.5), (24, 25)):
        shapes.append(("ellipse", [(cx - 1, cy - 0.7), (cx + 1, cy + 0.7)], (75, 10, 8)))

    def sprout(x, top, lean, leaf):
        # The stem, a little curved, from the soil up to the leaves.
        stem = [(x + lean * (t / 10) ** 2, 25 - (25 - top) * t / 10) for t in range(11)]
        shapes.append(("line", stem, 2, (40, 150, 40)))
        tx, ty = x + lean, top
        # Two leaves opening from the tip, each with its middle vein.
        for side, colour, vein in ((-1, (60, 200, 50), (30, 120, 30)),
                                   (1, (100, 230, 70), (50, 150, 40))):
            shapes.append(("polygon", [(tx, ty), (tx + side * leaf, ty - leaf * 0.9),
                                       (tx + side * leaf * 1.5, ty - 0.2),
                                       (tx + side * leaf * 0.7, ty + leaf * 0.35)], colour))
            shapes.append(("line", [(tx, ty), (tx + side * leaf * 1.1, ty - leaf * 0.35)], 0.5,
                           vein))

    sprout(7, 13, -1.5, 3.2)
    sprout(16, 7, 0.5, 4.2)
    sprout(25, 12, 1.5, 3.4)
    return shapes


def sprouts_picture(size):
    """The sprouts for a square of `size` pixels, with an alpha channel: drawn eight times larger
    than `size` and reduced, so that every size gets its own smooth edges rather than an
    enlargement or reduction of another size."""
    S = size * 8
    k = S / 32  # pixels of the large drawing per grid unit
    img = Image.new("RGBA", (S, S), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)

    def p(points):
        return [(x * k, y * k) for x, y in points]

    for shape in sprouts_shapes():
        if shape[0] == "ellipse":
            d.ellipse(p(shape[1]), fill=shape[2])
        elif shape[0] == "polygon":
            d.polygon(p(shape[1]), fill=shape[2])
        else:
            d.line(p(shape[1]), fill=shape[3], width=max(1, round(shape[2] * k)), joint="curve")
    # Each pixel the average of its eight by eight, with premultiplied alpha: the edges do not
    # darken, and no filter rings into the see-through corners.
    return img.resize((size, size), Image.BOX)


def sprouts_svg():
    """The same shapes as a scalable picture for the hicolor theme's scalable/apps."""
    def colour(rgb):
        return "#%02x%02x%02x" % rgb

    def points(pts):
        return " ".join(f"{x:.2f},{y:.2f}" for x, y in pts)

    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">',
           "  <title>Zelvora</title>"]
    for shape in sprouts_shapes():
        if shape[0] == "ellipse":
            (x0, y0), (x1, y1) = shape[1]
            out.append(f'  <ellipse cx="{(x0 + x1) / 2:.2f}" cy="{(y0 + y1) / 2:.2f}" '
                       f'rx="{(x1 - x0) / 2:.2f}" ry="{(y1 - y0) / 2:.2f}" '
                       f'fill="{colour(shape[2])}"/>')
        elif shape[0] == "polygon":
            out.append(f'  <polygon points="{points(shape[1])}" fill="{colour(shape[2])}"/>')
        else:
            out.append(f'  <polyline points="{points(shape[1])}" fill="none" '
                       f'stroke="{colour(shape[3])}" stroke-width="{shape[2]}" '
                       'stroke-linejoin="round"/>')
    out.append("</svg>")
    return "\n".join(out) + "\n"


def sprouts(size=32):
    """form1.ico's image: 256 colours, and its mask see-through where the picture is."""
    img = sprouts_picture(size)
    alpha = img.getchannel("A").load()
    opaque = [[alpha[x, y] >= 128 for x in range(size)] for y in range(size)]
    q = img.convert("RGB").quantize(colors=256, method=Image.Quantize.MEDIANCUT,
                                    dither=Image.Dither.NONE)
    pal = q.getpalette()[:256 * 3]
    pal += [0] * (256 * 3 - len(pal))
    palette = [tuple(pal[i:i + 3]) for i in range(0, 256 * 3, 3)]
    return ico_image(q, 8, palette, opaque)


# The colours every 16-colour display has.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
       (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def question_mark(size):
    scale = 16
    S = size * scale
    # Green beyond the disc too, so that its edge does not darken when reduced; the mask
    # makes that part see-through.
    img = Image.new("RGB", (S, S), (0, 128, 0))
    cover = Image.new("L", (S, S), 0)
    d = ImageDraw.Draw(img)
    inset = 0.5 * scale
    d.ellipse([inset, inset, S - inset, S - inset], fill=(0, 128, 0))
    ImageDraw.Draw(cover).ellipse([inset, inset, S - inset, S - inset], fill=255)
    # A lighter rim on the upper left makes the disc a little round.
    d.arc([inset + scale, inset + scale, S - inset - scale, S - inset - scale], 150, 290,
          fill=(0, 255, 0), width=max(scale, S // 20))

    u = S / 32
    w = 4.2 * u
    # The hook: an arc over the top, then down to the middle.
    d.arc([9.5 * u, 5 * u, 22.5 * u, 17 * u], 180, 405, fill=(255, 255, 255), width=round(w))
    d.line([(19.8 * u, 15.2 * u), (16 * u, 18 * u), (16 * u, 21 * u)], fill=(255, 255, 255),
           width=round(w), joint="curve")
    d.ellipse([(16 - 2.4) * u, 23.2 * u, (16 + 2.4) * u, 28 * u], fill=(255, 255, 255))

    img = img.resize((size, size), Image.LANCZOS)
    cover = cover.resize((size, size), Image.LANCZOS)
    pal_img = Image.new("P", (1, 1))
    pal_img.putpalette([c for rgb in VGA for c in rgb] + [0] * (256 - 16) * 3)
    q = img.quantize(palette=pal_img, dither=Image.Dither.NONE)
    cov = cover.load()
    opaque = [[cov[x, y] >= 128 for x in range(size)] for y in range(size)]
    qpx = q.load()
    for y in range(size):
        for x in range(size):
            if not opaque[y][x]:
                qpx[x, y] = 0  # see-through pixels are black under the mask
    return ico_image(q, 4, VGA, opaque)


# The sizes of the desktop icon; the desktop picks the nearest one for its menus and dock.
DESKTOP_ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def make_desktop_icons(folder):
    os.makedirs(folder, exist_ok=True)
    for size in DESKTOP_ICON_SIZES:
        sprouts_picture(size).save(os.path.join(folder, f"{size}x{size}.png"), optimize=True)
    with open(os.path.join(folder, "scalable.svg"), "w") as f:
        f.write(sprouts_svg())


def main():
    make_splash(os.path.join(RESOURCES, "splash.gif"))
    write_ico(os.path.join(RESOURCES, "form1.ico"), [(32, 32, 0, 8, sprouts())])
    make_desktop_icons(os.path.join(RESOURCES, "icons"))
    write_ico(os.path.join(RESOURCES, "form3.ico"),
              [(32, 32, 16, 4, question_mark(32)), (16, 16, 16, 4, question_mark(16))])


if __name__ == "__main__":
    main()
