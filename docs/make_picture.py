#!/usr/bin/python3
"""Makes docs/scope.png, the README's picture of the scope, with the
offline renderer: the pulse with its amplitude, frequency and phase
modulated. Run from the project root after building:

    docs/make_picture.py
"""

import os
import struct
import subprocess
import sys
import tempfile
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RENDER = os.path.join(ROOT, "build", "synthscope-render")
# LFO1 (amplitude) at 2 Hz with depth 0.5, LFO2 (frequency) at 0.3 Hz,
# LFO3 (phase) at 3 Hz, LFO4 (frequency) at 2 Hz as a shifted ramp.
SCRIPT = ["eeee" + "f" * 50 + ":4410", "ttt" + "h" * 80 + ":4410", "uuu" + "k" * 70 + ":4410",
          "oo" + "4" * 3 + "m" * 90 + ":4410"]


def bmp_to_rows(path):
    data = open(path, "rb").read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bpp = struct.unpack_from("<iiHH", data, 18)
    step = bpp // 8
    stride = (width * step + 3) & ~3
    rows = []
    for y in range(abs(height)):
        src = y if height < 0 else abs(height) - 1 - y
        line = data[offset + src * stride: offset + src * stride + width * step]
        rows.append(b"".join(line[x * step:x * step + 3][::-1] for x in range(width)))  # BGR to RGB
    return width, abs(height), rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    raw = b"".join(b"\0" + r for r in rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    with tempfile.TemporaryDirectory() as tmp:
        bmp = os.path.join(tmp, "scope.bmp")
        subprocess.run([RENDER, "--bmp", bmp, os.path.join(tmp, "scope.wav")] + SCRIPT, check=True,
                       stdout=subprocess.DEVNULL)
        write_png(os.path.join(ROOT, "docs", "scope.png"), *bmp_to_rows(bmp))
    return 0


if __name__ == "__main__":
    sys.exit(main())
