"""A minimal PNG writer for the resource generators (no filtering, one IDAT chunk)."""

import struct
import zlib

GREY_1BIT = (1, 0)   # bit depth, colour type
RGBA_8BIT = (8, 6)


def write_png(path, width, height, rows, mode):
    """Writes rows of packed pixel bytes (each row len = width * bits per pixel / 8)."""
    depth, colour = mode
    raw = b''.join(b'\x00' + bytes(row) for row in rows)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, depth, colour, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    with open(path, 'wb') as f:
        f.write(png)
