"""synthscope as a user runs it: on a terminal, with a virtual display or
with none, the menus, the help, the read-outs and every way out."""

import os
import time
import unittest

from harness import (HELP, OUTPUT_MENU, SEPARATOR, START_LFO, SYNTHSCOPE, Terminal, Xvfb, main)

NOSOUND_MENU = (SEPARATOR + "NoSound Driver list\n" + SEPARATOR + "1 - No sound\n" + SEPARATOR +
                "Press a corresponding number or ESC to quit\n")
OSC1_START = "Freq [440.000] Ampl [1.000] Phase [1.000] - AFreq [440.000] AAmpl [1.000] APhase [1.000]  \n"


class Program(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.xvfb = Xvfb().__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.xvfb.__exit__(None, None, None)

    def start(self, display=True):
        env = dict(os.environ)
        env.pop("SDL_VIDEODRIVER", None)
        if display:
            env["DISPLAY"] = self.xvfb.display
        else:
            env.pop("DISPLAY", None)
        t = Terminal([SYNTHSCOPE], env=env)
        self.addCleanup(t.close)
        return t

    def start_playing(self, display=True):
        t = self.start(display)
        t.expect(OUTPUT_MENU)
        t.send("4")
        t.expect(NOSOUND_MENU)
        t.send("1")
        t.expect(HELP)
        return t

    def test_menus_help_and_readout_after_keys(self):
        t = self.start()
        t.expect(OUTPUT_MENU)
        t.send("x5")  # ignored
        t.send("4")
        t.expect(OUTPUT_MENU + NOSOUND_MENU)
        t.send("02")  # '0' and a driver beyond the list are ignored
        time.sleep(0.3)
        self.assertNotIn(HELP, t.text())
        t.send("1")
        pos = t.expect(HELP)
        self.assertNotIn("No window", t.text())
        t.send("w")
        pos = t.expect("Note [61] -> [440.000000]\n" + OSC1_START + START_LFO * 4, start=pos)
        time.sleep(0.1)  # a few blocks: the audio thread has played the new note
        t.send("e")
        pos = t.expect("Note [61] -> [523.251160]\n", start=pos)
        t.expect("\nFreq [0.500] Ampl [1.000] Phase [1.000] - AFreq [", start=pos)
        t.send(b"\x1b")
        self.assertEqual(t.wait(), 0)
        self.assertEqual(t.stty(), t.before)

    def test_escape_in_a_menu_ends_with_status_zero(self):
        for keys in (b"\x1b", b"4\x1b"):
            with self.subTest(keys=keys):
                t = self.start()
                t.expect(OUTPUT_MENU)
                t.send(keys)
                self.assertEqual(t.wait(), 0)
                self.assertEqual(t.stty(), t.before)
                self.assertNotIn(HELP, t.text())
                t.close()

    def test_signals_end_it_with_the_terminal_restored(self):
        for how, sig in Terminal.ENDING_SIGNALS:
            with self.subTest(how=how, sig=sig):
                t = self.start_playing()
                t.send("a")
                t.expect("Note [59]")
                self.assertEqual(t.end_by(how, sig), -sig)
                self.assertEqual(t.stty(), t.before)
                t.close()

    def test_arrow_key_and_ctrl_d_are_just_keys(self):
        t = self.start_playing()
        pos = len(t.text())
        for key in (b"\x1b[A", b"\x04"):
            t.send(key)
            pos = t.expect("Note [58] -> [440.000000]\n", start=pos)
        time.sleep(0.2)
        self.assertIsNone(t.proc.poll())
        t.send(b"\x1b")
        self.assertEqual(t.wait(), 0)

    def test_piped_keys_end_with_status_zero_at_end_of_input(self):
        t = Terminal.piped([SYNTHSCOPE], b"41wa", env=dict(os.environ, DISPLAY=self.xvfb.display))
        self.addCleanup(t.close)
        self.assertEqual(t.wait(), 0)
        out = t.text()
        self.assertIn(HELP, out)
        self.assertIn("Note [61] -> [", out)
        self.assertIn("Note [62] -> [", out)
        self.assertEqual(t.stty(), t.before)

    def test_without_a_display_it_says_so_and_plays_on(self):
        t = self.start_playing(display=False)
        pos = t.expect("No window (")
        pos = t.expect("): running with sound and console only\n", start=pos)
        t.send("w")
        pos = t.expect("Note [61] -> [440.000000]\n", start=pos)
        # the audio thread runs: the next read-out shows the new frequency
        time.sleep(0.1)
        t.send("A")
        t.expect("Note [61] -> [523.251160]\n", start=pos)
        # nothing drawn into the terminal by a text-mode video driver
        self.assertNotIn("\x1b[?1049h", t.text())
        t.send(b"\x1b")
        self.assertEqual(t.wait(), 0)
        self.assertEqual(t.stty(), t.before)


if __name__ == "__main__":
    main()
