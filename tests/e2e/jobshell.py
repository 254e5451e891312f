"""A shell's job control, and nothing else: runs a program as the terminal's
foreground job, says "stopped" when it stops (Ctrl+Z), and on a line "fg"
puts it back in the foreground and continues it. It never changes the
terminal's settings itself, so the test sees what the program left.

    jobshell.py PROGRAM [ARGS...]
"""

import os
import signal
import sys

signal.signal(signal.SIGTTOU, signal.SIG_IGN)  # a shell may set the foreground from the background
pid = os.fork()
if pid == 0:
    os.setpgid(0, 0)
    os.tcsetpgrp(0, os.getpid())
    signal.signal(signal.SIGTTOU, signal.SIG_DFL)
    os.execv(sys.argv[1], sys.argv[1:])
os.setpgid(pid, pid)
os.tcsetpgrp(0, pid)
while True:
    _, status = os.waitpid(pid, os.WUNTRACED)
    if os.WIFSTOPPED(status):
        os.tcsetpgrp(0, os.getpgrp())
        print("stopped", flush=True)
        while sys.stdin.readline().strip() != "fg":
            pass
        os.tcsetpgrp(0, pid)
        os.killpg(pid, signal.SIGCONT)
    else:
        sys.exit(os.waitstatus_to_exitcode(status))
