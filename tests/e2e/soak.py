#!/usr/bin/python3
"""A soak of the real synthscope on a JACK server (dummy backend) under Xvfb,
with the JACK output chosen, keys pressed now and then through its terminal,
and a CPU-burning process beside it.

    tests/e2e/soak.py [--seconds N]     (default 60; 600 for a long run by hand)

Reports xruns (from a JACK client of the tests' own and from jackd's log),
the program's CPU share and its main thread's, its resident memory at the
start and the end, and the seconds of audio that reached JACK against the
wall clock. Exits 1 when a limit is broken.

jackd's log tells whose an xrun was: "client = synthscope was not finished,
state = Running" is the program's own callback overrunning the cycle; an
xrun in which no client was even scheduled ("state = Triggered", often with
the dummy driver's own timer waking late) is the machine's. Measured here on
a 2-core virtual machine: about one of those every three minutes, with the
program idle at the time. Every xrun is reported; the program's own must be
none."""

import argparse
import array
import os
import re
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import HELP, OUTPUT_MENU, SYNTHSCOPE, TOOLS, Jackd, Terminal, Xvfb  # noqa: E402

TICKS = os.sysconf("SC_CLK_TCK")
WARM_UP = 3.0  # seconds before measuring: start-up is not the steady state
KEYS = "eawqxdcvb"  # note keys and LFO1 on and off: none silences the voice for long


def cpu_seconds(path):
    fields = open(path).read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime + stime


def rss_kib(pid):
    return int(re.search(r"VmRSS:\s+(\d+) kB", open("/proc/%d/status" % pid).read()).group(1))


def longest_silence(samples):
    """The longest run of zero samples, and where it ends (in frames)."""
    longest = run = end = 0
    for i, s in enumerate(samples):
        run = run + 1 if s == 0 else 0
        if run > longest:
            longest, end = run, i
    return longest, end


def soak(seconds, realtime):
    # The burner takes the last core; the program, the X server and JACK keep
    # the others, as on a desktop where something else loads a second core.
    cores = os.sched_getaffinity(0)
    last_core = max(cores)
    if len(cores) > 1:
        os.sched_setaffinity(0, cores - {last_core})
    with Xvfb() as x, Jackd(period=1024, realtime=realtime) as jack:
        env = dict(jack.env, DISPLAY=x.display)
        env.pop("SDL_VIDEODRIVER", None)
        t = Terminal([SYNTHSCOPE], env=env)
        burner = subprocess.Popen([sys.executable, "-c", "while True: pass"],
                                  preexec_fn=lambda: os.sched_setaffinity(0, {last_core}))
        try:
            t.expect(OUTPUT_MENU)
            t.send("3")
            t.expect("1 - system\n")
            t.send("1")
            t.expect(HELP)
            time.sleep(0.5)
            has_window = "No window" not in t.text()
            pid = t.proc.pid
            time.sleep(WARM_UP)

            raw = tempfile.NamedTemporaryFile(suffix=".raw")
            probe = subprocess.Popen([os.path.join(TOOLS, "jack_probe"), "synthscope", str(seconds), raw.name],
                                     env=jack.env, stdout=subprocess.PIPE, text=True)
            log_before = len(jack.read_log())
            start = time.monotonic()
            cpu0, main0 = cpu_seconds("/proc/%d/stat" % pid), cpu_seconds("/proc/%d/task/%d/stat" % (pid, pid))
            rss0 = rss_kib(pid)

            # A key every few seconds; the main thread is measured idle between.
            next_key, k, idle_main, idle_time = start + 2.0, 0, 0.0, 0.0
            while time.monotonic() - start < seconds:
                now = time.monotonic()
                if now >= next_key:
                    t.send(KEYS[k % len(KEYS)])
                    k += 1
                    next_key = now + 5.0
                    time.sleep(0.5)
                    continue
                window = min(next_key, start + seconds) - now
                m0 = cpu_seconds("/proc/%d/task/%d/stat" % (pid, pid))
                time.sleep(window)
                idle_main += cpu_seconds("/proc/%d/task/%d/stat" % (pid, pid)) - m0
                idle_time += window

            wall = time.monotonic() - start
            cpu1, main1 = cpu_seconds("/proc/%d/stat" % pid), cpu_seconds("/proc/%d/task/%d/stat" % (pid, pid))
            rss1 = rss_kib(pid)
            out, _ = probe.communicate(timeout=60)
            report = dict(zip(out.split()[::2], map(float, out.split()[1::2])))
            samples = array.array("h")
            samples.frombytes(raw.read())
            log = jack.read_log()[log_before:]
            log_xruns = log.count("ProcessGraphAsyncMaster: Process error")
            own_xruns = log.count("client = synthscope was not finished, state = Running")
            if log_xruns:
                sys.stderr.write("jackd's log while measuring:\n" + log)
            t.send(b"\x1b")
            status = t.wait(20)
        finally:
            burner.kill()
            burner.wait()
            t.close()

    audio_seconds = report["frames"] / 44100.0
    figures = {
        "window open": has_window,
        "seconds": wall,
        "keys pressed": k,
        "xruns (JACK client)": int(report["xruns"]),
        "xruns (jackd log)": log_xruns,
        "xruns with the program's callback running": own_xruns,
        "CPU, % of a core": 100.0 * (cpu1 - cpu0) / wall,
        "main thread, % of a core": 100.0 * (main1 - main0) / wall,
        "main thread idle, % of a core": 100.0 * idle_main / max(idle_time, 1e-9),
        "RSS at start, KiB": rss0,
        "RSS at end, KiB": rss1,
        "audio that reached JACK, s": audio_seconds,
        "audio / wall clock": audio_seconds / report["seconds"],
        "longest silence, frames": longest_silence(samples)[0],
        "it ended at, s": longest_silence(samples)[1] / 44100.0,
        "exit status": status,
    }
    limits = [
        ("a window to draw on", has_window),
        ("no xrun of the program's own", own_xruns == 0),
        ("memory growth under 1 MiB", rss1 - rss0 < 1024),
        ("CPU under 15 % of a core", figures["CPU, % of a core"] < 15.0),
        ("main thread idle under 1 % of a core", figures["main thread idle, % of a core"] < 1.0),
        ("audio in real time within 1 %", abs(figures["audio / wall clock"] - 1.0) < 0.01),
        ("no gap in the sound", figures["longest silence, frames"] < 2048 and len(samples) > 0),
        ("ESC ends it with status 0", status == 0),
    ]
    return figures, limits


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--seconds", type=float, default=60.0)
    parser.add_argument("--no-realtime", action="store_true", help="run jackd without realtime scheduling")
    args = parser.parse_args()
    figures, limits = soak(args.seconds, not args.no_realtime)
    for name, value in figures.items():
        print("%-32s %s" % (name, ("%.3f" % value) if isinstance(value, float) else value))
    failed = [name for name, ok in limits if not ok]
    for name, ok in limits:
        print("%-40s %s" % (name, "ok" if ok else "FAILED"))
    print("%d passed, %d failed" % (len(limits) - len(failed), len(failed)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
