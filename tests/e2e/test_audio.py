"""The sound-library layer and the program on a real audio server: jackd's
dummy backend paces the stream with no sound card; a JACK client of the
tests' own records what reaches the server."""

import array
import os
import subprocess
import tempfile
import time
import unittest

from harness import (HELP, OUTPUT_MENU, SEPARATOR, SYNTHSCOPE, TOOLS, Jackd, Terminal, main)

FSOUND_PROBE = os.path.join(TOOLS, "fsound_probe")
JACK_PROBE = os.path.join(TOOLS, "jack_probe")


def parse_fields(line):
    words = line.split()
    return {words[i]: float(words[i + 1]) for i in range(0, len(words) - 1, 2)}


def record(jack, seconds):
    """Records synthscope's first output port: (samples, probe report)."""
    with tempfile.NamedTemporaryFile(suffix=".raw") as f:
        r = subprocess.run([JACK_PROBE, "synthscope", str(seconds), f.name], env=jack.env, capture_output=True,
                           text=True, timeout=60)
        if r.returncode != 0:
            raise AssertionError("jack_probe failed: " + r.stderr)
        samples = array.array("h")
        samples.frombytes(f.read())
    return samples, parse_fields(r.stdout)


def rising_edges(samples, level):
    return [i for i in range(1, len(samples)) if samples[i] == level and samples[i - 1] != level]


def period(samples):
    """The pulse's mean period in frames, from the intervals between its
    rises; an interval far from the typical one (the moment the recording
    was connected, say) is left out rather than bending the mean."""
    rises = rising_edges(samples, 10000)
    assert len(rises) > 10, "no pulse in the recording"
    intervals = [b - a for a, b in zip(rises, rises[1:])]
    typical = sorted(intervals)[len(intervals) // 2]
    kept = [i for i in intervals if abs(i - typical) <= 1]
    assert len(kept) >= 0.95 * len(intervals), "the pulse is broken: %r" % intervals
    return sum(kept) / len(kept)


class WithoutSoundCard(unittest.TestCase):
    def test_every_output_type_lists_quietly(self):
        r = subprocess.run([FSOUND_PROBE, "list"], capture_output=True, text=True, timeout=60)
        self.assertEqual(r.returncode, 0)
        self.assertIn("output 0: 1 drivers\n  0: No sound\n", r.stdout)
        self.assertIn("output 3: 0 drivers\n", r.stdout)
        self.assertIn("output 5: 0 drivers\n", r.stdout)
        self.assertEqual(r.stderr, "")

    def test_nothing_reaches_standard_error_in_the_menus(self):
        for key in b"1234":
            with self.subTest(key=chr(key)):
                r = subprocess.run([SYNTHSCOPE], input=bytes([key, 27]), capture_output=True, timeout=60)
                self.assertEqual(r.returncode, 0)
                self.assertIn(OUTPUT_MENU.encode(), r.stdout)
                self.assertIn(b" Driver list\n", r.stdout)
                self.assertEqual(r.stderr, b"")


class OnJackAtAnotherRate(unittest.TestCase):
    def test_a_device_without_44100_hz_fails_the_start_and_the_stream(self):
        with Jackd(rate=48000) as jack:
            env = dict(jack.env)
            env.pop("DISPLAY", None)
            t = Terminal([SYNTHSCOPE], env=env)
            self.addCleanup(t.close)
            t.expect(OUTPUT_MENU)
            t.send("31")
            self.assertEqual(t.wait(20), 1)
            out = t.text()
            self.assertIn("Press a corresponding number or ESC to quit\nError!\nSoundcard does not support the "
                          "features needed for this soundsystem (16bit stereo output)\n", out)
            self.assertIn(HELP, out)
            self.assertTrue(out.endswith("Error!\nThis command failed because FSOUND_Init was not called\n"), out)
            self.assertEqual(t.stty(), t.before)


class OnJack(unittest.TestCase):
    def setUp(self):
        self.jack = Jackd()
        self.jack.__enter__()
        self.addCleanup(self.jack.__exit__, None, None, None)

    def test_the_layer_lists_jack_and_plays_in_real_time(self):
        r = subprocess.run([FSOUND_PROBE, "list"], env=self.jack.env, capture_output=True, text=True, timeout=60)
        self.assertIn("output 7: 1 drivers\n  0: system\n", r.stdout)
        self.assertEqual(r.stderr, "")
        r = subprocess.run([FSOUND_PROBE, "play", "7", "0", "2"], env=self.jack.env, capture_output=True, text=True,
                           timeout=60)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
        seen = parse_fields(r.stdout)
        self.assertEqual(seen["underflows"], 0)
        self.assertLessEqual(seen["longest"], 32768)
        self.assertEqual(seen["longest"], 2048)
        self.assertAlmostEqual(seen["rate"] / 44100.0, 1.0, delta=0.01)

    def test_the_program_plays_the_pulse_then_the_new_note(self):
        env = dict(self.jack.env)
        env.pop("DISPLAY", None)
        t = Terminal([SYNTHSCOPE], env=env)
        self.addCleanup(t.close)
        t.expect(OUTPUT_MENU)
        t.send("3")
        t.expect(SEPARATOR + "ASIO Driver list\n" + SEPARATOR + "1 - system\n" + SEPARATOR)
        t.send("1")
        t.expect(HELP)

        samples, report = record(self.jack, 1.0)
        self.assertEqual(report["xruns"], 0)
        self.assertEqual(set(samples), {10000, 0, -10000})
        self.assertAlmostEqual(period(samples), 44100 / 440.0, delta=0.05)

        t.send("w")
        t.expect("Note [61]")
        time.sleep(0.2)
        samples, report = record(self.jack, 1.0)
        self.assertEqual(set(samples), {10000, 0, -10000})
        self.assertAlmostEqual(period(samples), 44100 / 523.25116, delta=0.05)

        t.send(b"\x1b")
        self.assertEqual(t.wait(), 0)
        self.assertEqual(t.stty(), t.before)


if __name__ == "__main__":
    main()
