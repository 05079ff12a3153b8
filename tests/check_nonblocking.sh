#!/bin/sh
# Usage: check_nonblocking.sh PROGRAM
# A standard input or output that the parent left non-blocking is waited for, not given up on:
# with a slow writer on a non-blocking standard input, then with a slow reader on a
# non-blocking standard output, a session of 200 ROT13 runs of 800 characters writes the same
# screen as through plain pipes, with status 0 and nothing on standard error; and so does the
# session when every other read is interrupted and every other write would block (where strace
# can run); a filter on a non-blocking standard input ends at its end. Exits 77 (skipped)
# without python3, which sets the flag.
program=$1
command -v python3 >/dev/null 2>&1 || { echo "skipped: python3 is not installed"; exit 77; }
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
failed=0

# Runs the rest of the command line with descriptor $1 made non-blocking, for a minute at most.
nonblocking() {
  timeout 60 python3 -c 'import fcntl, os, sys
descriptor = int(sys.argv[1])
fcntl.fcntl(descriptor, fcntl.F_SETFL, fcntl.fcntl(descriptor, fcntl.F_GETFL) | os.O_NONBLOCK)
os.execv(sys.argv[2], sys.argv[2:])' "$@"
}

text=$(printf '%0800d' 0 | tr 0 H)
for _ in $(seq 200); do printf 'r\n%s\n' "$text"; done >"$work/in"
printf 'q\n' >>"$work/in"
"$program" <"$work/in" | cat >"$work/expected"

# Compares the last run, given by $1, with the run through plain pipes.
check() {
  status=$(cat "$work/status")
  if [ "$status" != 0 ] || [ -s "$work/err" ] || ! cmp -s "$work/expected" "$work/out"; then
    echo "$1: status $status, $(wc -c <"$work/out") of $(wc -c <"$work/expected") bytes," \
      "standard error: $(cat "$work/err")"
    failed=1
  else
    echo "$1: the whole screen, $(wc -c <"$work/out") bytes"
  fi
}

# The writer pauses before the session and in the middle of the first text line.
{
  sleep 1
  head -c 500 "$work/in"
  sleep 1
  tail -c +501 "$work/in"
} | {
  nonblocking 0 "$program" >"$work/out" 2>"$work/err"
  echo $? >"$work/status"
}
check "non-blocking standard input, slow writer"

# A filter on a non-blocking standard input that was once empty: the end of the input ends it,
# with the whole output and status 0, never a wait without end.
{
  sleep 1
  cat "$work/in"
} | {
  nonblocking 0 "$program" rot13 >"$work/out" 2>"$work/err"
  echo $? >"$work/status"
}
"$program" rot13 <"$work/in" >"$work/expected.filter"
if [ "$(cat "$work/status")" != 0 ] || [ -s "$work/err" ] || ! cmp -s "$work/expected.filter" "$work/out"; then
  echo "filter on a non-blocking standard input: status $(cat "$work/status"), $(cat "$work/err")"
  failed=1
fi

# The reader takes nothing for a second, while the program has far more than a pipe holds.
{
  nonblocking 1 "$program" <"$work/in" 2>"$work/err"
  echo $? >"$work/status"
} | {
  sleep 1
  cat >"$work/out"
}
check "non-blocking standard output, slow reader"

# Every other read fails with EINTR, as when a signal arrives, and every other write with
# EAGAIN, as on a full non-blocking pipe: injected by strace into the session's own reads and
# writes only. LeakSanitizer cannot work under ptrace, so a sanitized build runs without it.
if strace -o /dev/null true 2>/dev/null; then
  rm -f "$work/out"
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" strace -o /dev/null -P "$work/in" -P "$work/out" -e trace=read,write \
    -e inject=read:error=EINTR:when=1+2 -e inject=write:error=EAGAIN:when=1+2 \
    "$program" <"$work/in" >"$work/out" 2>"$work/err"
  echo $? >"$work/status"
  check "reads interrupted, writes that would block (strace)"
else
  echo "reads interrupted, writes that would block: skipped, strace cannot run here"
fi
exit $failed
