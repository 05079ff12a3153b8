#!/usr/bin/env python3
"""Types into ciphers through a real pseudo-terminal and checks what the line editor made of it.

Usage: pty_line_editing.py PROGRAM editing|plain

"plain" means the program was built without line editing: the test then skips. It also skips
where no pseudo-terminal can be opened. Skipping exits 77 and says why. Every wait for output
is bounded, and the program is killed when it does not answer in time.
"""

import os
import pty
import re
import select
import signal
import struct
import sys
import termios
import fcntl
import time

SKIP = 77
WAIT_SECONDS = 10

MENU_PROMPT = b"?: "
TEXT_PROMPT = b"Enter some text to be encrypted (max 800 chars):"
KEY_PROMPT = b"Key(with no spaces): "

ENTER = b"\r"
UP = b"\x1b[A"
LEFT = b"\x1b[D"
HOME = b"\x1b[H"
END = b"\x1b[F"
DELETE = b"\x1b[3~"
BACKSPACE = b"\x7f"
CTRL_A = b"\x01"
CTRL_D = b"\x04"
CTRL_E = b"\x05"
CTRL_U = b"\x15"
CTRL_Z = b"\x1a"
CTRL_LEFT = b"\x1b[1;5D"
SHIFT_LEFT = b"\x1b[1;2D"
F5 = b"\x1b[15~"
F12 = b"\x1b[24~"
PASTE_START = b"\x1b[200~"
PASTE_END = b"\x1b[201~"

ROW = re.compile(r"^(Plaintext|Key|Ciphertext|Decrypted back): *(.*)$")
ESCAPE = re.compile(r"\x1b\[[0-9;?]*[A-Za-z]|\x1b[()][0-9A-Za-z]|\x1b[=>]")


class Failure(Exception):
    pass


def set_window_size(fd, rows, columns):
    fcntl.ioctl(fd, termios.TIOCSWINSZ, struct.pack("HHHH", rows, columns, 0, 0))


class Session:
    """The program on the child side of a pseudo-terminal, and everything it wrote so far."""

    def __init__(self, program, locale, term="xterm", ignore_stop=False):
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            set_window_size(0, 24, 100)
            # Readline's own keys, whatever ~/.inputrc or /etc/inputrc say here.
            env = dict(os.environ, TERM=term, LC_ALL=locale, LANG=locale, INPUTRC="/dev/null")
            if term is None:
                del env["TERM"]
            if ignore_stop:
                signal.signal(signal.SIGTSTP, signal.SIG_IGN)
            try:
                os.execve(program, [program], env)
            finally:
                os._exit(127)
        self.output = b""
        self.mark = 0  # where the next wait starts looking
        self.status = None

    def wait_until_editing(self):
        """Returns once the editor reads: it takes the terminal out of its line mode then."""
        deadline = time.monotonic() + WAIT_SECONDS
        while termios.tcgetattr(self.fd)[3] & termios.ICANON:
            if time.monotonic() > deadline:
                raise Failure("the line editor never took the terminal")
            self.read_some(min(deadline, time.monotonic() + 0.01))

    def type(self, keys):
        # Keys typed before the editor reads would meet the terminal's own line mode, which
        # handles Backspace and Ctrl-U itself and echoes an escape as ^[.
        self.wait_until_editing()
        os.write(self.fd, keys)

    def read_some(self, deadline):
        remaining = deadline - time.monotonic()
        if remaining <= 0:
            return False
        ready, _, _ = select.select([self.fd], [], [], remaining)
        if not ready:
            return False
        try:
            chunk = os.read(self.fd, 4096)
        except OSError:  # EIO: the program has closed the terminal
            chunk = b""
        if not chunk:
            return False
        self.output += chunk
        return True

    def wait_for(self, text):
        """Everything written since the last wait, up to and including `text`."""
        deadline = time.monotonic() + WAIT_SECONDS
        while True:
            found = self.output.find(text, self.mark)
            if found >= 0:
                seen = self.output[self.mark : found + len(text)]
                self.mark = found + len(text)
                return seen.decode("utf-8", "replace")
            if not self.read_some(deadline):
                raise Failure(f"waited in vain for {text!r}")

    def wait_for_quiet_menu(self):
        """Waits for the menu's prompt, and then a moment more: nothing may answer it."""
        deadline = time.monotonic() + WAIT_SECONDS
        while self.output.find(MENU_PROMPT, self.mark) < 0:
            if not self.read_some(deadline):
                raise Failure("waited in vain for the menu")
        while self.read_some(time.monotonic() + 0.3):
            pass
        after = self.output[self.output.find(MENU_PROMPT, self.mark) + len(MENU_PROMPT):]
        if ESCAPE.sub("", after.decode("utf-8", "replace")).strip("\x07"):
            raise Failure(f"the menu was answered without a key typed: {after!r}")

    def wait_for_exit(self):
        deadline = time.monotonic() + WAIT_SECONDS
        while time.monotonic() < deadline:
            pid, status = os.waitpid(self.pid, os.WNOHANG)
            if pid == self.pid:
                self.status = status
                return os.waitstatus_to_exitcode(status)
            self.read_some(min(deadline, time.monotonic() + 0.1))
        raise Failure("the program did not end")

    def close(self):
        if self.status is None:
            try:
                os.kill(self.pid, signal.SIGKILL)
                os.waitpid(self.pid, 0)
            except (ProcessLookupError, ChildProcessError):
                pass
        os.close(self.fd)


def rows_of(screen):
    lines = ESCAPE.sub("", screen).replace("\r", "").split("\n")
    return dict(m.groups() for m in map(ROW.match, lines) if m)


def run(session, what, steps, expected):
    """Types `steps` (pairs of a prompt to wait for and the keys to type then), waits for the
    next menu and checks the report's rows against `expected`."""
    print(f"typed: {what}")
    for prompt, keys in steps:
        session.wait_for(prompt)
        session.type(keys)
    screen = session.wait_for(b"Q: quit")
    rows = rows_of(screen)
    for label in ("Plaintext", "Key", "Ciphertext", "Decrypted back"):
        if label in rows:
            row = rows[label]
            shown = repr(row) if len(row) < 70 else f"{row[:40]!r}... ({len(row)} characters)"
            print(f"  {label + ':':16}{shown}")
    for label, value in expected.items():
        if rows.get(label) != value:
            raise Failure(f"{label} row {rows.get(label)!r}, expected {value!r}")
    if "Invalid" in screen:
        raise Failure("a line typed for the text answered the menu")
    session.wait_for_quiet_menu()
    print("  then the menu, unanswered")


def dialogue(session):
    run(session, 'r, Enter, "helo", Left, "l", Enter',
        [(MENU_PROMPT, b"r" + ENTER), (TEXT_PROMPT, b"helo" + LEFT + b"l" + ENTER)],
        {"Plaintext": "hello", "Ciphertext": "uryyb", "Decrypted back": "hello"})
    run(session, "m, Enter, Up, Enter",
        [(MENU_PROMPT, b"m" + ENTER), (TEXT_PROMPT, UP + ENTER)],
        {"Plaintext": "hello", "Decrypted back": "hello"})
    run(session, 'v, Enter, "attack", Enter, "lemon", Enter',
        [(MENU_PROMPT, b"v" + ENTER), (TEXT_PROMPT, b"attack" + ENTER),
         (KEY_PROMPT, b"lemon" + ENTER)],
        {"Plaintext": "ATTACK", "Key": "LEMONL"})
    # Up at the text prompt must skip the key typed last, and Up at the key prompt the texts.
    run(session, "v, Enter, Up, Enter (text), Up, Enter (key)",
        [(MENU_PROMPT, b"v" + ENTER), (TEXT_PROMPT, UP + ENTER), (KEY_PROMPT, UP + ENTER)],
        {"Plaintext": "ATTACK", "Key": "LEMONL", "Ciphertext": "LXFOPV"})
    # Up at the menu recalls nothing: the answer stays r, not an earlier text or answer.
    run(session, 'Up, r, Enter, "junk", Ctrl-U, "afé!", Home, "c", End, Backspace, Enter',
        [(MENU_PROMPT, UP + b"r" + ENTER),
         (TEXT_PROMPT, b"junk" + CTRL_U + "afé!".encode() + HOME + b"c" + END + BACKSPACE + ENTER)],
        {"Plaintext": "café", "Ciphertext": "pnsé", "Decrypted back": "café"})
    # Ctrl-Left moves by word; a key with modifiers, or one without a binding, inserts nothing.
    run(session, 'r, Enter, "hello world", Ctrl-Left x2, "X", Enter',
        [(MENU_PROMPT, b"r" + ENTER), (TEXT_PROMPT, b"hello world" + CTRL_LEFT * 2 + b"X" + ENTER)],
        {"Plaintext": "Xhello world", "Ciphertext": "Kuryyb jbeyq"})
    run(session, 'r, Enter, "helo", Shift-Left, F5, F12, "l", Enter',
        [(MENU_PROMPT, b"r" + ENTER), (TEXT_PROMPT, b"helo" + SHIFT_LEFT + F5 + F12 + b"l" + ENTER)],
        {"Plaintext": "hello"})
    # A paste is one answer, its line ends (as terminals send them) made spaces, shown before Enter.
    run(session, "r, Enter, a bracketed paste of three lines, Enter",
        [(MENU_PROMPT, b"r" + ENTER),
         (TEXT_PROMPT,
          PASTE_START + b"Dear Bob,\rquite a day it was.\r\nSee you.\n" + PASTE_END),
         (b"Dear Bob, quite a day it was. See you.", ENTER)],
        {"Plaintext": "Dear Bob, quite a day it was. See you."})
    run(session, 'r, Enter, "one two three", Left x3, Ctrl-U, Enter',
        [(MENU_PROMPT, b"r" + ENTER), (TEXT_PROMPT, b"one two three" + LEFT * 3 + CTRL_U + ENTER)],
        {"Plaintext": "ree"})
    run(session, 'r, Enter, "col1", Tab, "col2", Enter',
        [(MENU_PROMPT, b"r" + ENTER), (TEXT_PROMPT, b"col1\tcol2" + ENTER)],
        {"Plaintext": "col1\tcol2", "Ciphertext": "pby1\tpby2"})
    # The kernel discards the stop here (the program leads an orphaned process group): the
    # program goes on reading, the line as typed. (Ctrl-Z also flushes what the program has
    # not read yet, so "abc" must be on the screen first.)
    run(session, 'r, Enter, "abc", Ctrl-Z, "def", Enter',
        [(MENU_PROMPT, b"r" + ENTER), (TEXT_PROMPT, b"abc"), (b"abc", CTRL_Z + b"def" + ENTER)],
        {"Plaintext": "abcdef"})
    run(session, 'r, Enter, "ab漢字テスト cd", Left x4, Backspace, Enter',
        [(MENU_PROMPT, b"r" + ENTER),
         (TEXT_PROMPT, "ab漢字テスト cd".encode() + LEFT * 4 + BACKSPACE + ENTER)],
        {"Plaintext": "ab漢字テト cd", "Ciphertext": "no漢字テト pq"})
    # A window resized while a line of several rows is edited: the line goes on.
    long_line = "abc" * 80
    session.wait_for(MENU_PROMPT)
    session.type(b"r" + ENTER)
    session.wait_for(TEXT_PROMPT)
    session.type(b"x" + long_line.encode())
    session.wait_for(long_line[-20:].encode())
    set_window_size(session.fd, 30, 60)
    run(session, '"x" and 240 characters, (window resized), Ctrl-A, Delete, Ctrl-E, "!", Enter',
        [(b"", CTRL_A + DELETE + CTRL_E + b"!" + ENTER)],
        {"Plaintext": long_line + "!"})
    print("typed: Ctrl-D at the menu")
    session.wait_for(MENU_PROMPT)
    session.type(CTRL_D)
    status = session.wait_for_exit()
    print(f"  exit status {status}")
    if status != 0:
        raise Failure(f"exit status {status} after Ctrl-D at the menu, expected 0")


# The "C" locale's character set is plain ASCII: the editor must still take UTF-8 text whole.
# The Home and End keys here are the ones the Linux console, tmux and screen send.
def dialogue_in_c_locale(session):
    run(session, 'r, Enter, "afé", Home, "c", End, "!", Enter (LC_ALL=C)',
        [(MENU_PROMPT, b"r" + ENTER),
         (TEXT_PROMPT, "afé".encode() + b"\x1b[1~c\x1b[4~!" + ENTER)],
        {"Plaintext": "café!", "Ciphertext": "pnsé!", "Decrypted back": "café!"})
    session.wait_for(MENU_PROMPT)
    session.type(b"q" + ENTER)
    if session.wait_for_exit() != 0:
        raise Failure("exit status other than 0 after Q")


# No cursor keys to draw with: the keys still edit, and insert nothing of their sequences.
# A paste still comes as one answer, though the editor did not ask for bracketed paste.
def dialogue_on_dumb_terminal(session):
    run(session, 'r, Enter, "hello world", Left x3, Delete, Home, "X", Enter (TERM=dumb)',
        [(MENU_PROMPT, b"r" + ENTER),
         (TEXT_PROMPT, b"hello world" + LEFT * 3 + DELETE + HOME + b"X" + ENTER)],
        {"Plaintext": "Xhello wold"})
    run(session, "r, Enter, a bracketed paste, Enter (TERM=dumb)",
        [(MENU_PROMPT, b"r" + ENTER),
         (TEXT_PROMPT, PASTE_START + b"pasted\rtext" + PASTE_END + ENTER)],
        {"Plaintext": "pasted text"})


# Ctrl-Z with SIGTSTP ignored, as a parent may leave it: the line as typed must still arrive.
def dialogue_stop_ignored(session):
    run(session, 'r, Enter, "abc", Ctrl-Z, "def", Enter (SIGTSTP ignored)',
        [(MENU_PROMPT, b"r" + ENTER), (TEXT_PROMPT, b"abc"), (b"abc", CTRL_Z + b"def" + ENTER)],
        {"Plaintext": "abcdef"})


def converse(session, dialogue):
    """Runs one dialogue in a fresh terminal; returns 0, or 1 when it failed."""
    try:
        dialogue(session)
        return 0
    except Failure as failure:
        print(f"FAILED: {failure}")
        print("the program's last output:")
        print(repr(session.output[-1500:]))
        return 1
    finally:
        session.close()


def main(argv):
    if len(argv) != 3 or argv[2] not in ("editing", "plain"):
        print(__doc__, file=sys.stderr)
        return 2
    if argv[2] == "plain":
        print("skipped: the program is built without line editing (CIPHERS_LINE_EDITING=OFF)")
        return SKIP
    try:
        for fd in os.openpty():
            os.close(fd)
    except OSError as error:
        print(f"skipped: no pseudo-terminal can be opened here: {error}")
        return SKIP
    program = argv[1]
    return (converse(Session(program, "C.UTF-8"), dialogue)
            or converse(Session(program, "C"), dialogue_in_c_locale)
            or converse(Session(program, "C.UTF-8", term="dumb"), dialogue_on_dumb_terminal)
            or converse(Session(program, "C.UTF-8", ignore_stop=True), dialogue_stop_ignored))


if __name__ == "__main__":
    sys.exit(main(sys.argv))
