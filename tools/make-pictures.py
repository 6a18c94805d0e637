#!/usr/bin/python3
"""Draws Zelvora's pictures into resources/.

  splash.gif  the splash window's picture: 560 x 150, GIF89a, one 256-colour global palette
              whose entry 0 is black and transparent, one frame, not interlaced, 11,328 bytes
              (a comment block pads the file when the picture compresses smaller)
  form1.ico   the main window's icon: 32 x 32, 256 colours, three sprouts in dark red soil
  icons/NxN.png  the program's icon for the desktop's menus and dock (the hicolor theme), the
              same sprouts as form1.ico drawn anew at 16, 32, 48, 64, 128 and 256 pixels
  form3.ico   the version window's icon: 32 x 32 and 16 x 16, 16 colours, a question mark on
              a green disc

The GIF and ICO files are written byte by byte here rather than by an image library, because
their exact layout matters to the windows that load them. Needs python3-pil and DejaVu Sans
(fonts-dejavu-core). Run it from anywhere; it writes next to itself in ../resources.
"""

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


def sprouts_picture(size):
    """The sprouts drawn for a square of `size` pixels (a multiple of 4): the drawing is laid out
    on a 32-unit grid, drawn eight times larger than `size` and reduced, so that every size gets
    its own smooth edges rather than an enlargement of a smaller one."""
    scale = size // 4  # pixels of the large drawing per grid unit
    S = size * 8
    img = Image.new("RGB", (S, S), (0, 0, 0))
    d = ImageDraw.Draw(img)

    def p(x, y):
        return (x * scale, y * scale)

    # Dark red soil heaped along the bottom, with a few lighter clods.
    d.ellipse([p(-4, 22), p(36, 40)], fill=(110, 18, 12))
    d.ellipse([p(2, 23.5), p(30, 34)], fill=(130, 28, 20))
    for cx, cy in ((6, 27), (13, 29), (21, 27), (27, 29), (10, 31), (24, 31)):
        d.ellipse([p(cx - 1, cy - 0.7), p(cx + 1, cy + 0.7)], fill=(75, 10, 8))

    def sprout(x, top, lean, leaf):
        # The stem, a little curved, from the soil up to the leaves.
        stem = [p(x + lean * (t / 10) ** 2, 25 - (25 - top) * t / 10) for t in range(11)]
        d.line(stem, fill=(40, 150, 40), width=2 * scale, joint="curve")
        tx, ty = x + lean, top
        # Two leaves opening from the tip.
        d.polygon([p(tx, ty), p(tx - leaf, ty - leaf * 0.9), p(tx - leaf * 1.5, ty - 0.2),
                   p(tx - leaf * 0.7, ty + leaf * 0.35)], fill=(60, 200, 50))
        d.polygon([p(tx, ty), p(tx + leaf, ty - leaf * 0.9), p(tx + leaf * 1.5, ty - 0.2),
                   p(tx + leaf * 0.7, ty + leaf * 0.35)], fill=(100, 230, 70))
        d.line([p(tx, ty), p(tx - leaf * 1.1, ty - leaf * 0.35)], fill=(30, 120, 30),
               width=scale // 2)
        d.line([p(tx, ty), p(tx + leaf * 1.1, ty - leaf * 0.35)], fill=(50, 150, 40),
               width=scale // 2)

    sprout(7, 13, -1.5, 3.2)
    sprout(16, 7, 0.5, 4.2)
    sprout(25, 12, 1.5, 3.4)

    return img.resize((size, size), Image.LANCZOS)


def sprouts(size=32):
    img = sprouts_picture(size)
    q = img.quantize(colors=256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    pal = q.getpalette()[:256 * 3]
    pal += [0] * (256 * 3 - len(pal))
    palette = [tuple(pal[i:i + 3]) for i in range(0, 256 * 3, 3)]
    opaque = [[True] * size for _ in range(size)]
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
DESKTOP_ICON_SIZES = (16, 32, 48, 64, 128, 256)


def make_desktop_icons(folder):
    os.makedirs(folder, exist_ok=True)
    for size in DESKTOP_ICON_SIZES:
        sprouts_picture(size).save(os.path.join(folder, f"{size}x{size}.png"), optimize=True)


def main():
    make_splash(os.path.join(RESOURCES, "splash.gif"))
    write_ico(os.path.join(RESOURCES, "form1.ico"), [(32, 32, 0, 8, sprouts())])
    make_desktop_icons(os.path.join(RESOURCES, "icons"))
    write_ico(os.path.join(RESOURCES, "form3.ico"),
              [(32, 32, 16, 4, question_mark(32)), (16, 16, 16, 4, question_mark(16))])


if __name__ == "__main__":
    main()
