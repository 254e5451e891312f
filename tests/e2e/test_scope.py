"""The scope window of the real program under a virtual display: a dump of
the window (xwd) shows the rows that the off-screen tests expect."""

import os
import re
import struct
import subprocess
import time
import unittest

from harness import HELP, OUTPUT_MENU, SYNTHSCOPE, Terminal, Xvfb, main, wait_for

BLUE, MAGENTA, WHITE = 0x0000FF, 0xFF00FF, 0xFFFFFF


def channel(pixel, mask):
    """The 8-bit value of one colour channel, whatever the display's depth."""
    shift = (mask & -mask).bit_length() - 1
    top = mask >> shift
    return ((pixel & mask) >> shift) * 255 // top


def dump_window(display, name):
    """The window's pixels as rows of 0x00RRGGBB words."""
    info = subprocess.run(["xwininfo", "-display", display, "-name", name], capture_output=True, text=True)
    wid = re.search(r"Window id: (0x[0-9a-f]+)", info.stdout)
    assert wid, "no window named %s: %s" % (name, info.stderr)
    data = subprocess.run(["xwd", "-silent", "-display", display, "-id", wid.group(1)], capture_output=True,
                          check=True).stdout
    h = struct.unpack(">25I", data[:100])
    header_size, fmt, width, height, byte_order, bpp, stride, ncolors = h[0], h[2], h[4], h[5], h[7], h[11], h[12], h[19]
    masks = h[14:17]
    assert fmt == 2 and bpp in (16, 32), "expected a 16- or 32-bit ZPixmap"
    start = header_size + 12 * ncolors
    order = ("<" if byte_order == 0 else ">") + "%d%s" % (width, "I" if bpp == 32 else "H")
    rows = []
    for y in range(height):
        raw = struct.unpack_from(order, data, start + y * stride)
        rows.append([channel(p, masks[0]) << 16 | channel(p, masks[1]) << 8 | channel(p, masks[2]) for p in raw])
    return rows


def row_colours(pixels):
    rows = {}
    for y, row in enumerate(pixels):
        colours = {p & 0xFFFFFF for p in row} - {0}
        if colours:
            rows[y] = colours
    return rows


class ScopeWindow(unittest.TestCase):
    def test_window_shows_the_start_values_then_follows_the_keys(self):
        # On a 16-bit display too: the scope asks for 32-bit pixels and SDL converts.
        for depth in (24, 16):
            with self.subTest(depth=depth):
                self.check_display(depth)

    def check_display(self, depth):
        with Xvfb(depth) as x:
            env = dict(os.environ, DISPLAY=x.display)
            env.pop("SDL_VIDEODRIVER", None)
            t = Terminal([SYNTHSCOPE], env=env)
            try:
                self.check_window(x, t)
            finally:
                t.close()

    def check_window(self, x, t):
        t.expect(OUTPUT_MENU)
        t.send("41")
        t.expect(HELP)
        time.sleep(0.5)

        pixels = dump_window(x.display, "synthscope")
        self.assertEqual((len(pixels[0]), len(pixels)), (640, 800))
        rows = row_colours(pixels)
        self.assertEqual(rows, {70: {WHITE}, 119: {BLUE}, 120: {MAGENTA}, 170: {WHITE}, 416: {WHITE},
                                450: {WHITE}, 483: {WHITE}})
        self.assertTrue(all(p & 0xFFFFFF == BLUE for p in pixels[119]))

        t.send("e")  # the first modulator at 0.5 Hz: the blue trace leaves row 119
        t.expect("Note [58]")
        time.sleep(0.5)
        changed = row_colours(dump_window(x.display, "synthscope"))
        blue_rows = {y for y, c in changed.items() if BLUE in c}
        self.assertNotEqual(changed, rows)
        self.assertGreater(len(blue_rows), 20)

        t.send(b"\x1b")
        self.assertEqual(t.wait(), 0)


if __name__ == "__main__":
    main()
