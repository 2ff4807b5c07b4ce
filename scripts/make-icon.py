#!/usr/bin/env python3
"""Writes app/numplace.ico from the pixel art below: a 3x3 number grid with four given digits and
the one just found in red, at 32x32 and 16x16, 256-colour (8-bit palettized) images with an
AND mask. Standard library only, no timestamps: the same art always gives the same bytes.

Usage: scripts/make-icon.py [OUTPUT]   (default: app/numplace.ico beside this script's repo)
"""
import pathlib
import struct
import sys

# One letter a pixel; '.' is transparent. RGB colours.
PALETTE = {
    ".": (0x00, 0x00, 0x00),  # transparent: black under a set mask bit
    "W": (0xFF, 0xFF, 0xFF),  # paper
    "K": (0x1F, 0x2A, 0x44),  # frame
    "g": (0x8C, 0x9B, 0xB5),  # grid lines
    "B": (0x1F, 0x4F, 0xB8),  # given digits
    "R": (0xC8, 0x28, 0x1E),  # the digit just found
    "Y": (0xFF, 0xE9, 0x8A),  # its cell
    "S": (0x9A, 0x9A, 0x9A),  # drop shadow
}
TRANSPARENT = "."

ART_32 = """
KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK.
KWWWWWWWWWgWWWWWWWWWgWWWWWWWWWKS
KWWWWBWWWWgWWWWWWWWWgWWWWWBWWWKS
KWWWBBWWWWgWWWWWWWWWgWWWWBBWWWKS
KWWWWBWWWWgWWWWWWWWWgWWWBWBWWWKS
KWWWWBWWWWgWWWWWWWWWgWWBWWBWWWKS
KWWWWBWWWWgWWWWWWWWWgWWBBBBBWWKS
KWWWWBWWWWgWWWWWWWWWgWWWWWBWWWKS
KWWWBBBWWWgWWWWWWWWWgWWWWWBWWWKS
KWWWWWWWWWgWWWWWWWWWgWWWWWWWWWKS
KgggggggggggggggggggggggggggggKS
KWWWWWWWWWgYYYYYYYYYgWWWWWWWWWKS
KWWWWWWWWWgYYRRRRRYYgWWWWWWWWWKS
KWWWWWWWWWgYYYYYYRYYgWWWWWWWWWKS
KWWWWWWWWWgYYYYYRYYYgWWWWWWWWWKS
KWWWWWWWWWgYYYYRYYYYgWWWWWWWWWKS
KWWWWWWWWWgYYYRYYYYYgWWWWWWWWWKS
KWWWWWWWWWgYYYRYYYYYgWWWWWWWWWKS
KWWWWWWWWWgYYYRYYYYYgWWWWWWWWWKS
KWWWWWWWWWgYYYYYYYYYgWWWWWWWWWKS
KgggggggggggggggggggggggggggggKS
KWWWWWWWWWgWWWWWWWWWgWWWWWWWWWKS
KWWWBBBWWWgWWWWWWWWWgWWWWBWWWWKS
KWWBWWWBWWgWWWWWWWWWgWWWBBWWWWKS
KWWWWWWBWWgWWWWWWWWWgWWWWBWWWWKS
KWWWWWBWWWgWWWWWWWWWgWWWWBWWWWKS
KWWWWBWWWWgWWWWWWWWWgWWWWBWWWWKS
KWWWBWWWWWgWWWWWWWWWgWWWWBWWWWKS
KWWBBBBBWWgWWWWWWWWWgWWWBBBWWWKS
KWWWWWWWWWgWWWWWWWWWgWWWWWWWWWKS
KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKS
.SSSSSSSSSSSSSSSSSSSSSSSSSSSSSSS
"""

ART_16 = """
KKKKKKKKKKKKKKKK
KWWBWgWWWWgWBWBK
KWBBWgWWWWgWBWBK
KWWBWgWWWWgWBBBK
KWWBWgWWWWgWWWBK
KggggggggggggggK
KWWWWgWRRRgWWWWK
KWWWWgWWWRgWWWWK
KWWWWgWWRWgWWWWK
KWWWWgWWRWgWWWWK
KggggggggggggggK
KWBBWgWWWWgWWBWK
KWWWBgWWWWgWBBWK
KWWBWgWWWWgWWBWK
KWBBBgWWWWgWWBWK
KKKKKKKKKKKKKKKK
"""

INDEX = {letter: i for i, letter in enumerate(PALETTE)}


def rows_of(art, size):
    rows = art.strip("\n").split("\n")
    assert len(rows) == size and all(len(r) == size for r in rows), f"art must be {size}x{size}"
    assert set("".join(rows)) <= set(PALETTE), "art uses a letter outside the palette"
    return rows


def padded(row_bytes):
    """BMP rows are padded to a multiple of four bytes."""
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def image(art, size):
    """One icon image: BITMAPINFOHEADER, 256-entry palette, 8-bit colour rows, 1-bit AND mask."""
    rows = rows_of(art, size)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE.values())
    palette += b"\0" * (256 * 4 - len(palette))
    colour = b""
    mask = b""
    for row in reversed(rows):  # bottom-up
        colour += padded(bytes(INDEX[p] for p in row))
        bits = 0
        for p in row:
            bits = bits << 1 | (p == TRANSPARENT)
        mask += padded(bits.to_bytes(size // 8, "big"))
    header = struct.pack(
        "<IiiHHIIiiII",
        40,  # biSize
        size,  # biWidth
        size * 2,  # biHeight: colour rows and mask rows together
        1,  # biPlanes
        8,  # biBitCount
        0,  # biCompression: BI_RGB
        len(colour) + len(mask),  # biSizeImage
        0,  # biXPelsPerMeter
        0,  # biYPelsPerMeter
        0,  # biClrUsed: 0 means all 256
        0,  # biClrImportant
    )
    return header + palette + colour + mask


def icon(images):
    """ICONDIR, one ICONDIRENTRY per image, then the images in the same order."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = len(out) + 16 * len(images)
    for size, data in images:
        # width, height, colour count (0: 256 or more), reserved, planes, bits, bytes, offset
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def main():
    repo = pathlib.Path(__file__).resolve().parent.parent
    target = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else repo / "app" / "numplace.ico"
    target.write_bytes(icon([(32, image(ART_32, 32)), (16, image(ART_16, 16))]))


if __name__ == "__main__":
    main()
