"""The console keyboard under a pseudo-terminal: key mode while running, and
the terminal as it was found on every way out."""

import os
import subprocess
import sys
import time
import unittest

from harness import TOOLS, Terminal, main, wait_for

PROBE = os.path.join(TOOLS, "keys_probe")


class ConsoleKeyboard(unittest.TestCase):
    def start(self):
        t = Terminal([PROBE])
        self.addCleanup(t.close)
        t.expect("ready\n")
        return t

    def test_keys_without_echo_or_enter_and_signals_still_on(self):
        t = self.start()
        mode = subprocess.run(["stty", "-a"], stdin=t.slave, capture_output=True, text=True).stdout
        words = mode.replace(";", " ").split()
        for flag in ("-icanon", "-echo", "isig"):
            self.assertIn(flag, words)
        t.send("a")
        t.expect("key 97\n")
        self.assertNotIn("a\n", t.text().replace("key 97", ""))  # no echo
        t.send(b"\xe9")
        t.expect("key -23\n")  # an 8-bit character taken as signed

    def test_escape_restores_the_terminal(self):
        t = self.start()
        self.assertNotEqual(t.stty(), t.before)
        t.send(b"\x1b")
        self.assertEqual(t.wait(), 0)
        self.assertIn("escape", t.text())
        self.assertEqual(t.stty(), t.before)

    def test_arrow_and_function_keys_are_one_key_that_is_not_escape(self):
        t = self.start()
        pos = 0
        for seq in (b"\x1b[A", b"\x1b[D", b"\x1bOP", b"\x1b[15~"):
            t.send(seq)
            pos = t.expect("key 0\n", start=pos)
        time.sleep(0.1)
        self.assertIsNone(t.proc.poll())
        self.assertEqual(t.text().count("key "), 4)  # each sequence read as one key
        t.send(b"\x1b")
        self.assertEqual(t.wait(), 0)

    def test_ending_signals_restore_the_terminal(self):
        for how, sig in Terminal.ENDING_SIGNALS:
            with self.subTest(how=how, sig=sig):
                t = self.start()
                self.assertEqual(t.end_by(how, sig), -sig)
                self.assertEqual(t.stty(), t.before)
                t.close()

    def test_ctrl_z_restores_the_terminal_and_continuing_sets_key_mode_again(self):
        shell = os.path.join(os.path.dirname(os.path.abspath(__file__)), "jobshell.py")
        t = Terminal([sys.executable, shell, PROBE])
        self.addCleanup(t.close)
        t.expect("ready\n")
        keys = t.stty()
        self.assertNotEqual(keys, t.before)
        t.send(b"\x1a")
        pos = t.expect("stopped\n")
        self.assertEqual(t.stty(), t.before)
        t.send("fg\n")
        wait_for(lambda: t.stty() == keys, 5, "key mode again")
        t.send("b")
        t.expect("key 98\n", start=pos)
        t.send(b"\x1b")
        self.assertEqual(t.wait(), 0)
        self.assertEqual(t.stty(), t.before)

    def test_end_of_piped_input_is_escape_and_leaves_the_terminal_alone(self):
        t = Terminal.piped([PROBE], b"xy[")
        self.addCleanup(t.close)
        self.assertEqual(t.wait(), 0)
        out = t.text()
        # bytes as they come: no sequence handling off a terminal
        self.assertIn("key 120\nkey 121\nkey 91\nescape\n", out)
        self.assertEqual(t.stty(), t.before)


if __name__ == "__main__":
    main()
