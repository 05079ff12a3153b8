"""Draws the page's icons, 192 and 512 pixels square, as PNG files into the given folder:
a rounded tile with three bars, one for each method. Only the standard library is used."""

import struct
import sys
import zlib
from pathlib import Path

TILE = (0x1F, 0x4E, 0x79)
BAR = (0xF2, 0xF5, 0xF8)


def pixel(x: float, y: float) -> tuple:
    """The colour at (x, y), both from 0 to 1 across the icon."""
    corner = 0.18
    dx = max(corner - x, x - (1 - corner), 0)
    dy = max(corner - y, y - (1 - corner), 0)
    if dx * dx + dy * dy > corner * corner:
        return (0, 0, 0, 0)
    for top in (0.28, 0.46, 0.64):
        if top <= y < top + 0.1 and 0.22 <= x < 0.78 - (top - 0.28):
            return (*BAR, 255)
    return (*TILE, 255)


def png(size: int) -> bytes:
    rows = b"".join(
        b"\0" + b"".join(bytes(pixel((i + 0.5) / size, (j + 0.5) / size)) for i in range(size))
        for j in range(size))

    def chunk(kind: bytes, data: bytes) -> bytes:
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9))
            + chunk(b"IEND", b""))


if __name__ == "__main__":
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    for size in (192, 512):
        (folder / f"icon-{size}.png").write_bytes(png(size))
