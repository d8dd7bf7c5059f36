#!/usr/bin/env python3
"""The interactive session on a terminal (a pseudo-terminal): vorl alone starts it;
definitions, a negative result, an input over two lines, a report that leaves the
session going, Ctrl-C during a long expression, history, and Ctrl-D to leave. With
the line editor installed, the session must load it: the up arrow recalls an input.

Usage: session_pty_test.py path/to/vorl"""
import ctypes
import os
import pty
import select
import sys
import tempfile
import time

vorl = sys.argv[1]
home = tempfile.mkdtemp(prefix="vorl-session-")
pid, fd = pty.fork()
if pid == 0:
    os.environ.update(HOME=home, TERM="xterm", VORL_HINTS="0")
    os.execv(vorl, [vorl])

seen = b""


def editor_installed():
    """True when the library the session loads for line editing is there."""
    for name in ("libedit.so.2", "libedit.so"):
        try:
            ctypes.CDLL(name)
            return True
        except OSError:
            pass
    return False


def wait_for(text, seconds=8):
    """Reads the terminal until `text` has appeared after what was already matched."""
    global seen
    deadline = time.time() + seconds
    while text.encode() not in seen:
        left = deadline - time.time()
        if left <= 0:
            sys.exit("timed out waiting for %r; the terminal showed:\n%s" % (text, seen.decode(errors="replace")))
        ready, _, _ = select.select([fd], [], [], left)
        if ready:
            try:
                seen += os.read(fd, 4096)
            except OSError:
                break
    if text.encode() not in seen:
        sys.exit("the session ended before %r:\n%s" % (text, seen.decode(errors="replace")))
    seen = seen[seen.index(text.encode()) + len(text):]


def send(text):
    os.write(fd, text.encode())


wait_for("vorl> ")
send("sq\\y\\y*y\r")
wait_for("vorl> ")
send("0-(sq 3)\r")
wait_for("-9")
wait_for("vorl> ")
send("sq (\r")
wait_for("... ")
send("4)\r")
wait_for("16")
send("tripel 1\r")
wait_for("Type: Alive")
send("1+1\r")
wait_for("2")
send("spin\\n\\spin (n+1)\r")
wait_for("vorl> ")
send("spin 0\r")
time.sleep(1.0)
send("\x03")
wait_for("Interrupted.")
send("7*6\r")
wait_for("42")
wait_for("vorl> ")
# Keys typed before the line editor has set up the terminal would be taken by the
# terminal's own line discipline (Ctrl-D lost); a person never types that fast.
time.sleep(0.5)
editing = editor_installed()
if editing:
    send("\x1b[A\r")
    wait_for("42")
    wait_for("vorl> ")
    time.sleep(0.5)
send("\x04")
_, status = os.waitpid(pid, 0)
if not os.WIFEXITED(status) or os.WEXITSTATUS(status) != 0:
    sys.exit("the session did not end with status 0: %r" % status)
history = os.path.join(home, ".vorl_history")
if editing and "sq" not in (open(history, errors="replace").read() if os.path.exists(history) else ""):
    sys.exit("the history file does not hold the inputs")
print("session on a terminal: ok")
