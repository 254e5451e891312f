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


def dump_window(display, name):
    """The window's pixels as rows of 0x00RRGGBB words."""
    info = subprocess.run(["xwininfo", "-display", display, "-name", name], capture_output=True, text=True)
    wid = re.search(r"Window id: (0x[0-9a-f]+)", info.stdout)
    assert wid, "no window named %s: %s" % (name, info.stderr)
    data = subprocess.run(["xwd", "-silent", "-display", display, "-id", wid.group(1)], capture_output=True,
                          check=True).stdout
    h = struct.unpack(">25I", data[:100])
    header_size, fmt, width, height, byte_order, bpp, stride, ncolors = h[0], h[2], h[4], h[5], h[7], h[11], h[12], h[19]
    assert fmt == 2 and bpp == 32, "expected a 32-bit ZPixmap"
    start = header_size + 12 * ncolors
    order = "<" if byte_order == 0 else ">"
    return [list(struct.unpack_from(order + "%dI" % width, data, start + y * stride)) for y in range(height)]


def row_colours(pixels):
    rows = {}
    for y, row in enumerate(pixels):
        colours = {p & 0xFFFFFF for p in row} - {0}
        if colours:
            rows[y] = colours
    return rows


class ScopeWindow(unittest.TestCase):
    def test_window_shows_the_start_values_then_follows_the_keys(self):
        with Xvfb() as x:
            env = dict(os.environ, DISPLAY=x.display)
            env.pop("SDL_VIDEODRIVER", None)
            t = Terminal([SYNTHSCOPE], env=env)
            self.addCleanup(t.close)
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
