#!/usr/bin/env python3
"""Generates the text resources of src/res from Python's codecs and two Debian bitmap fonts.

  jiscode.bin       the JISCODE table: 7255 two-byte Shift-JIS codes, lead byte first
  sjis_unicode.bin  the Unicode character (u16, big-endian; 0 = unassigned) of every two-byte
                    code of the desktop code page, lead bytes 0x81-0x9F and 0xE0-0xFC, trail
                    bytes 0x40-0xFC (60 x 189 entries)
  glyphs.bin        the glyph sheet: 6900 rows of 32 bytes, 1 bit per pixel, MSB = leftmost,
                    1 = white, 0 = black; cell n at x = 16 (n mod 16), y = 15 (n div 16)

The glyphs are the 14-dot kanji and kana of the Shinonome fonts (xfonts-shinonome, public domain),
which fit the 15-row cell whole, so that a voiced kana keeps its marks apart from the p-sound's
circle; the codes they lack (the extension rows 0xED and 0xEE) come from GNU Unifont (unifont).

Usage: make_text_resources.py [--font unifont_jp.hex] [--kanji shnmk14.pcf.gz] [--out src/res]
                              [--preview sheet.png]
"""

import argparse
import gzip
import os
import struct
import sys

from png import GREY_1BIT, write_png

TRAILS = list(range(0x40, 0x7F)) + list(range(0x80, 0xFD))
LEADS = list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))
CELL_W, CELL_H = 16, 15
SHEET_W, SHEET_H = 256, 6900
IDEOGRAPHIC_SPACE = 0x8140


def decode_one(code, codec):
    try:
        text = bytes([code >> 8, code & 0xFF]).decode(codec)
    except UnicodeDecodeError:
        return None
    return text if len(text) == 1 else None


def jiscode_table():
    # The characters of JIS X 0208 are exactly the two-byte codes that strict Shift-JIS assigns.
    jis = [lead << 8 | trail for lead in LEADS for trail in TRAILS
           if decode_one(lead << 8 | trail, 'shift_jis') is not None]
    jis.remove(IDEOGRAPHIC_SPACE)
    extension = [lead << 8 | trail for lead in (0xED, 0xEE) for trail in TRAILS]
    table = jis + extension + [IDEOGRAPHIC_SPACE]
    assert len(jis) == 6878 and jis[0] == 0x8141 and jis[-1] == 0xEAA4, (len(jis), hex(jis[-1]))
    assert len(extension) == 376 and extension[0] == 0xED40 and extension[-1] == 0xEEFC
    assert len(table) == 7255 and len(set(table)) == 7255
    return table


def unicode_map(table):
    """Code -> character: the desktop code page, changed so that every table code has its own
    character (so that encoding a decoded table code gives that code back)."""
    mapping = {}
    for lead in LEADS:
        for trail in TRAILS:
            code = lead << 8 | trail
            char = decode_one(code, 'cp932')
            if char is not None:
                mapping[code] = ord(char)
    # 0xEEF9 is the code page's second code for U+FFE2, whose own code is 0x81CA. Give it the
    # not sign U+00AC, which the code page only ever encodes one way (into 0x81CA).
    assert mapping[0xEEF9] == mapping[0x81CA] == 0xFFE2
    mapping[0xEEF9] = 0x00AC
    owners = {}
    for code in table:
        if code in mapping:
            char = mapping[code]
            assert char not in owners, (hex(code), hex(owners.get(char, 0)))
            owners[char] = code
    assert set(table) - set(mapping) == {0xEEED, 0xEEEE}
    # Every other character goes to its lowest code, which is the code page's own choice.
    for code in sorted(mapping):
        char = mapping[code]
        if char not in owners:
            owners[char] = code
            assert chr(char).encode('cp932') == bytes([code >> 8, code & 0xFF]), hex(code)
    return mapping


def load_hex_font(path):
    font = {}
    with open(path) as f:
        for line in f:
            cp, data = line.strip().split(':')
            font[int(cp, 16)] = data
    return font


def glyph_rows(data):
    """The glyph as 16 rows of 16 bits (narrow 8 x 16 glyphs centred)."""
    if len(data) == 32:
        return [int(data[i * 2:i * 2 + 2], 16) << 4 for i in range(16)]
    return [int(data[i * 4:i * 4 + 4], 16) for i in range(16)]


def fit_height(rows):
    """Fits 16 rows into 15 without losing ink: drop an empty top or bottom row, else merge the
    two neighbouring rows that differ least."""
    if rows[0] == 0:
        return rows[1:]
    if rows[-1] == 0:
        return rows[:-1]
    i = min(range(15), key=lambda k: bin(rows[k] ^ rows[k + 1]).count('1'))
    return rows[:i] + [rows[i] | rows[i + 1]] + rows[i + 2:]


def load_pcf_font(path):
    """The glyphs of a PCF font encoded in JIS X 0208 (rows and cells 0x21-0x7E), as JIS code ->
    rows of 16 bits in a 14-row box from the font's top, the glyph one column in from the left."""
    data = gzip.open(path).read() if path.endswith('.gz') else open(path, 'rb').read()
    assert data[:4] == b'\x01fcp', path
    tables = {}
    for i in range(struct.unpack_from('<I', data, 4)[0]):
        kind, _, _, offset = struct.unpack_from('<IIII', data, 8 + 16 * i)
        tables[kind] = offset

    def table(kind):
        offset = tables[kind]
        fmt = struct.unpack_from('<I', data, offset)[0]
        return offset + 4, fmt, '>' if fmt & 4 else '<'

    offset, fmt, order = table(0x100)  # the accelerators: the font's ascent
    ascent, descent = struct.unpack_from(order + 'ii', data, offset + 8)
    assert ascent + descent == 14, (ascent, descent)

    offset, fmt, order = table(4)  # the metrics
    metrics = []
    if fmt & 0x100:  # compressed: five bytes less 0x80 each
        count = struct.unpack_from(order + 'H', data, offset)[0]
        for i in range(count):
            lb, rb, _, up, down = (b - 0x80 for b in data[offset + 2 + 5 * i:offset + 7 + 5 * i])
            metrics.append((lb, rb, up, down))
    else:
        count = struct.unpack_from(order + 'I', data, offset)[0]
        for i in range(count):
            lb, rb, _, up, down, _ = struct.unpack_from(order + 'hhhhhH', data, offset + 4 + 12 * i)
            metrics.append((lb, rb, up, down))

    offset, fmt, order = table(8)  # the bitmaps
    assert fmt & 8, 'bits must be stored most significant first'
    pad = 1 << (fmt & 3)
    count = struct.unpack_from(order + 'I', data, offset)[0]
    starts = struct.unpack_from(order + '%dI' % count, data, offset + 4)
    bits_at = offset + 4 + 4 * count + 16

    offset, fmt, order = table(32)  # the encodings
    min2, max2, min1, max1, _ = struct.unpack_from(order + '5h', data, offset)
    per_row = max2 - min2 + 1
    glyphs = {}
    for byte1 in range(min1, max1 + 1):
        for byte2 in range(min2, max2 + 1):
            index = struct.unpack_from(order + 'H', data, offset + 10 + 2 * ((byte1 - min1) * per_row + byte2 - min2))[0]
            if index == 0xFFFF:
                continue
            lb, rb, up, down = metrics[index]
            stride = ((rb - lb + 7) // 8 + pad - 1) // pad * pad
            rows = [0] * 14
            for y in range(up + down):
                line = int.from_bytes(data[bits_at + starts[index] + y * stride:][:stride], 'big')
                line >>= stride * 8 - (rb - lb)  # the glyph's own columns
                top = ascent - up + y
                if 0 <= top < 14 and line:
                    rows[top] = (line << (15 - rb)) & 0xFFFF
            glyphs[byte1 << 8 | byte2] = rows
    return glyphs


def jis_of_sjis(code):
    """The JIS X 0208 row and cell (0x2121-0x7E7E) of a two-byte Shift-JIS code."""
    lead, trail = code >> 8, code & 0xFF
    row = (lead - (0x70 if lead < 0xA0 else 0xB0)) * 2 - (1 if trail < 0x9F else 0)
    cell = trail - (0x1F if trail < 0x7F else 0x20 if trail < 0x9F else 0x7E)
    return row << 8 | cell


def placeholder_rows():
    """A box outline for the two table codes that no character owns."""
    rows = [0] * CELL_H
    rows[2] = rows[12] = 0x3FFC
    for y in range(3, 12):
        rows[y] = 0x2004
    return rows


def glyph_sheet(table, font, kanji):
    ink = bytearray(SHEET_W // 8 * SHEET_H)
    for n, code in enumerate(table):
        if code == IDEOGRAPHIC_SPACE:
            continue
        char = decode_one(code, 'cp932')
        if char is None:
            rows = placeholder_rows()
        elif jis_of_sjis(code) in kanji:
            rows = [0] + kanji[jis_of_sjis(code)]  # 14 rows, one blank row above
        else:
            rows = fit_height(glyph_rows(font[ord(char)]))
        x, y = 16 * (n % 16), 15 * (n // 16)
        for dy, bits in enumerate(rows):
            offset = (y + dy) * 32 + x // 8
            ink[offset] = bits >> 8
            ink[offset + 1] = bits & 0xFF
    return bytes(b ^ 0xFF for b in ink)  # white is 1


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser()
    parser.add_argument('--font', default='/usr/share/unifont/unifont_jp.hex')
    parser.add_argument('--kanji', default='/usr/share/fonts/X11/misc/shnmk14.pcf.gz')
    parser.add_argument('--out', default=os.path.join(here, '..', '..', 'src', 'res'))
    parser.add_argument('--preview', help='also write the sheet as a PNG')
    args = parser.parse_args()

    table = jiscode_table()
    mapping = unicode_map(table)
    sheet = glyph_sheet(table, load_hex_font(args.font), load_pcf_font(args.kanji))
    assert len(sheet) == SHEET_W // 8 * SHEET_H

    with open(os.path.join(args.out, 'jiscode.bin'), 'wb') as f:
        f.write(b''.join(struct.pack('>H', code) for code in table))
    with open(os.path.join(args.out, 'sjis_unicode.bin'), 'wb') as f:
        f.write(b''.join(struct.pack('>H', mapping.get(lead << 8 | trail, 0))
                         for lead in LEADS for trail in range(0x40, 0xFD)))
    with open(os.path.join(args.out, 'glyphs.bin'), 'wb') as f:
        f.write(sheet)
    if args.preview:
        write_png(args.preview, SHEET_W, SHEET_H, [sheet[y * 32:(y + 1) * 32] for y in range(SHEET_H)], GREY_1BIT)
    return 0


if __name__ == '__main__':
    sys.exit(main())
