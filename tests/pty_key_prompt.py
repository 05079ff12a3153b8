#!/usr/bin/env python3
"""Types a Vigenere key at the prompt of `ciphers vigenere` in a real pseudo-terminal.

Usage: pty_key_prompt.py PROGRAM

The pseudo-terminal is the program's controlling terminal only; its standard input and output
are files, which carry the text. Checks that the key is asked for with echo off, twice to
encipher (answers that differ refused) and once to decipher, that the output equals -k's, and
that the terminal's modes are as before after the run, after Ctrl-C too, and put back while
Ctrl-Z has it stopped. Skips (77) where no
pseudo-terminal can be opened. Every wait is bounded.
"""

import fcntl
import os
import pty
import select
import signal
import subprocess
import sys
import tempfile
import termios
import time

SKIP = 77
WAIT_SECONDS = 10
KEY = b"LeMon"
TEXT = b"Attack at dawn!\nMeet me by the old oak tree.\n"


class Failure(Exception):
    pass


class Prompted:
    """`ciphers vigenere ARGS` with the pseudo-terminal as its controlling terminal."""

    def __init__(self, program, args, text_path, out_path):
        self.master, self.slave = os.openpty()
        self.modes_before = termios.tcgetattr(self.slave)
        with open(text_path, "rb") as text, open(out_path, "wb") as out:
            self.process = subprocess.Popen(
                [program, "vigenere", *args], stdin=text, stdout=out, stderr=self.slave,
                start_new_session=True,
                preexec_fn=lambda: fcntl.ioctl(2, termios.TIOCSCTTY, 0))
        self.screen = b""

    def wait_for(self, wanted):
        deadline = time.monotonic() + WAIT_SECONDS
        while wanted not in self.screen:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.master], [], [], left)[0]:
                raise Failure(f"no {wanted!r} on the terminal: {self.screen!r}")
            try:
                self.screen += os.read(self.master, 4096)
            except OSError:
                raise Failure(f"the terminal closed before {wanted!r}: {self.screen!r}")
        at = self.screen.index(wanted) + len(wanted)
        before, self.screen = self.screen[:at], self.screen[at:]
        return before

    def type_hidden(self, answer):
        if termios.tcgetattr(self.slave)[3] & termios.ECHO:
            raise Failure("echo is on while the key is asked for")
        os.write(self.master, answer + b"\r")

    def finish(self):
        try:
            status = self.process.wait(WAIT_SECONDS)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise Failure("the program did not end")
        time.sleep(0.1)
        while select.select([self.master], [], [], 0)[0]:
            try:
                chunk = os.read(self.master, 4096)
            except OSError:
                break
            if not chunk:
                break
            self.screen += chunk
        if termios.tcgetattr(self.slave) != self.modes_before:
            raise Failure("the terminal's modes differ after the run")
        os.close(self.master)
        os.close(self.slave)
        return status


def check(program, work):
    text = os.path.join(work, "text")
    with open(text, "wb") as f:
        f.write(TEXT)
    out = os.path.join(work, "out")
    expected = subprocess.run([program, "vigenere", "-k", KEY.decode(), text],
                              capture_output=True, check=True).stdout

    # Enciphering: asked twice; answers that differ are refused and asked for afresh.
    run = Prompted(program, [], text, out)
    run.wait_for(b"Key: ")
    run.type_hidden(KEY)
    run.wait_for(b"Key again: ")
    run.type_hidden(b"LeMen")
    run.wait_for(b"the keys differ")
    run.wait_for(b"Key: ")
    run.type_hidden(KEY)
    run.wait_for(b"Key again: ")
    run.type_hidden(KEY)
    status = run.finish()
    screen = run.screen
    if status != 0 or KEY in screen or b"LeMen" in screen:
        raise Failure(f"enciphering: status {status}, terminal: {screen!r}")
    with open(out, "rb") as f:
        if f.read() != expected:
            raise Failure("enciphering at the prompt differs from -k's output")

    # Deciphering: asked once.
    with open(os.path.join(work, "cipher"), "wb") as f:
        f.write(expected)
    run = Prompted(program, ["-d"], os.path.join(work, "cipher"), out)
    run.wait_for(b"Key: ")
    run.type_hidden(KEY)
    status = run.finish()
    with open(out, "rb") as f:
        back = f.read()
    if status != 0 or b"again" in run.screen or back != TEXT.upper():
        raise Failure(f"deciphering: status {status}, terminal: {run.screen!r}, text: {back!r}")

    # Ctrl-C at the prompt ends the program by the signal, the modes put back.
    run = Prompted(program, [], text, out)
    run.wait_for(b"Key: ")
    os.write(run.master, b"\x03")
    status = run.finish()
    if status != -signal.SIGINT:
        raise Failure(f"Ctrl-C: status {status}")


def check_stop(program, work):
    """Ctrl-Z at the prompt, under a shell with job control: echo is back on while the program
    is stopped, and the key is still read hidden once fg has it go on."""
    script = ('set -m; "$0" vigenere -d <"$1" >"$2"; echo "stopped $?"; '
              'case $(stty) in *-echo*) echo "modes: hidden";; *) echo "modes: back";; esac; '
              'fg >/dev/null; echo "ended $?"')
    cipher, out = os.path.join(work, "cipher"), os.path.join(work, "out")
    pid, master = pty.fork()
    if pid == 0:
        try:
            os.execvp("bash", ["bash", "-c", script, program, cipher, out])
        finally:
            os._exit(127)
    run = Prompted.__new__(Prompted)
    run.master, run.screen = master, b""
    try:
        run.wait_for(b"Key: ")
        os.write(master, b"\x1a")
        run.wait_for(b"stopped 148")
        run.wait_for(b"modes: ")
        modes = run.wait_for(b"\n")
        time.sleep(0.3)  # fg has the program take the terminal again
        os.write(master, KEY + b"\r")
        run.wait_for(b"ended 0")
    finally:
        os.close(master)
        os.waitpid(pid, 0)
    if not modes.startswith(b"back"):
        raise Failure(f"Ctrl-Z: the modes while stopped: {modes!r}")
    if KEY in run.screen:
        raise Failure(f"Ctrl-Z and fg: the key was echoed: {run.screen!r}")
    with open(out, "rb") as f:
        if f.read() != TEXT.upper():
            raise Failure("Ctrl-Z and fg: the text was not deciphered")


def main():
    program = sys.argv[1]
    try:
        os.close(os.openpty()[0])
    except OSError as error:
        print(f"skipped: no pseudo-terminal: {error}")
        return SKIP
    with tempfile.TemporaryDirectory() as work:
        try:
            check(program, work)
            check_stop(program, work)
        except Failure as failure:
            print(failure)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
