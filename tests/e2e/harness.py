"""What the end-to-end tests start and drive: the programs under a
pseudo-terminal, a virtual X display (Xvfb) and a JACK server on its dummy
backend. Each test starts what it needs and stops it after."""

import fcntl
import os
import signal
import struct
import subprocess
import tempfile
import termios
import threading
import time
import unittest

BUILD = os.environ.get("SYNTHSCOPE_BUILD", os.path.join(os.path.dirname(__file__), "..", "..", "build"))
SYNTHSCOPE = os.path.join(BUILD, "synthscope")
RENDER = os.path.join(BUILD, "synthscope-render")
TOOLS = os.path.join(BUILD, "tests")

SEPARATOR = "-" * 57 + "\n"
OUTPUT_MENU = (SEPARATOR + "Output Type\n" + SEPARATOR + "1 - Direct Sound\n2 - Windows Multimedia Waveout\n"
               "3 - ASIO\n4 - NoSound\n" + SEPARATOR + "Press a corresponding number or ESC to quit\n")
HELP = ("[aqzs edrftg yhujik olpm our] modifier les trucs \n"
        "[+-] change type OSC1 [7894] le type des LFO1234\n"
        "[wxcvbn,;] pour les notes (foireuxmaismarche)\n")
START_LFO = "Freq [0.000] Ampl [1.000] Phase [1.000] - AFreq [0.000] AAmpl [1.000] APhase [1.000]  \n"


def wait_for(predicate, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return
        time.sleep(0.02)
    raise AssertionError("timed out waiting for " + what)


class Xvfb:
    """A virtual display of its own, at least 640 x 800."""

    def __init__(self, depth=24):
        self.depth = depth

    def __enter__(self):
        # Xvfb picks a free display itself and names it on a pipe, so two
        # test runs never race for one.
        r, w = os.pipe()
        self.log = tempfile.TemporaryFile()
        # -noreset: the server otherwise resets when its last client leaves, and
        # refuses the next program that connects during the reset.
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-noreset", "-screen", "0", "1024x900x%d" % self.depth,
                                      "-nolisten", "tcp"],
                                     stdout=self.log, stderr=subprocess.STDOUT, pass_fds=(w,))
        os.close(w)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(r, 16)
            if not chunk:
                break
            number += chunk
        os.close(r)
        if not number.strip():
            self.proc.wait(10)
            self.log.seek(0)
            raise RuntimeError("Xvfb did not start: " + self.log.read().decode(errors="replace"))
        self.display = ":" + number.decode().strip()
        return self

    def __exit__(self, *exc):
        self.proc.terminate()
        self.proc.wait(10)
        self.log.close()


class Jackd:
    """A JACK server on the dummy backend, under a name of its own so that it
    never meets another server on the machine."""

    def __init__(self, period=512, realtime=False, rate=44100):
        self.period = period
        self.realtime = realtime
        self.rate = rate

    def __enter__(self):
        self.name = "synthscope-test-%d-%d" % (os.getpid(), int(time.monotonic() * 1000) % 100000)
        self.env = dict(os.environ, JACK_DEFAULT_SERVER=self.name, JACK_NO_AUDIO_RESERVATION="1")
        self.log = tempfile.TemporaryFile()
        mode = ["--realtime"] if self.realtime else ["--no-realtime"]
        self.proc = subprocess.Popen(["jackd"] + mode + ["-n", self.name, "-d", "dummy", "-r", str(self.rate),
                                      "-p", str(self.period)], stdout=self.log, stderr=subprocess.STDOUT,
                                     env=self.env)
        r = subprocess.run(["jack_wait", "-w", "-t", "10"], env=self.env, capture_output=True)
        if r.returncode != 0 or self.proc.poll() is not None:
            raise RuntimeError("jackd did not start: " + self.read_log())
        return self

    def read_log(self):
        self.log.seek(0)
        return self.log.read().decode(errors="replace")

    def __exit__(self, *exc):
        self.proc.terminate()
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        self.log.close()


class Terminal:
    """A program run as a user runs it: on a pseudo-terminal that is its
    controlling terminal, so Ctrl+C and Ctrl+Z reach it from the keyboard."""

    def __init__(self, argv, env=None, stdin=None):
        self.master, self.slave = os.openpty()
        attrs = termios.tcgetattr(self.slave)
        attrs[3] |= termios.ECHO | termios.ICANON | termios.ISIG
        termios.tcsetattr(self.slave, termios.TCSANOW, attrs)
        fcntl.ioctl(self.slave, termios.TIOCSWINSZ, struct.pack("HHHH", 50, 132, 0, 0))
        self.before = self.stty()
        slave = self.slave

        def controlling_terminal():
            os.setsid()
            fcntl.ioctl(slave, termios.TIOCSCTTY, 0)

        env = dict(env if env is not None else os.environ)
        env.setdefault("TERM", "xterm")
        self.proc = subprocess.Popen(argv, stdin=stdin if stdin is not None else slave, stdout=slave,
                                     stderr=slave, preexec_fn=controlling_terminal, env=env)
        self.output = b""
        self.lock = threading.Lock()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    @classmethod
    def piped(cls, argv, keys, env=None):
        """The program with its output on the terminal and `keys` piped into
        its standard input, which then ends."""
        r, w = os.pipe()
        t = cls(argv, env=env, stdin=r)
        os.close(r)
        os.write(w, keys)
        os.close(w)
        return t

    def _read(self):
        while True:
            try:
                data = os.read(self.master, 4096)
            except OSError:
                return
            if not data:
                return
            with self.lock:
                self.output += data

    def text(self):
        with self.lock:
            return self.output.decode(errors="replace").replace("\r\n", "\n")

    def expect(self, needle, timeout=10, start=0):
        """Waits until `needle` appears after position `start`; returns the
        position just after it."""
        def found():
            return self.text().find(needle, start) >= 0
        try:
            wait_for(found, timeout, repr(needle))
        except AssertionError:
            raise AssertionError("%r not seen; the program printed:\n%s" % (needle, self.text()))
        return self.text().find(needle, start) + len(needle)

    def send(self, data):
        os.write(self.master, data if isinstance(data, bytes) else data.encode())

    # The ways a user ends a program from outside: Ctrl+C from the keyboard,
    # kill, and a terminal that hangs up.
    ENDING_SIGNALS = (("ctrl-c", signal.SIGINT), ("kill", signal.SIGTERM), ("kill", signal.SIGHUP))

    def end_by(self, how, sig):
        """Delivers `sig` as `how` says; returns the exit status."""
        if how == "ctrl-c":
            self.send(b"\x03")
        else:
            self.proc.send_signal(sig)
        return self.wait()

    def stty(self):
        return subprocess.run(["stty", "-g"], stdin=self.slave, capture_output=True, text=True,
                              check=True).stdout.strip()

    def wait(self, timeout=10):
        """The exit status, once all the program printed has been read."""
        rc = self.proc.wait(timeout)
        seen = -1
        while seen != len(self.output):
            seen = len(self.output)
            time.sleep(0.1)
        return rc

    def close(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        for fd in (self.master, self.slave):
            try:
                os.close(fd)
            except OSError:
                pass


def main():
    unittest.main(verbosity=2)
