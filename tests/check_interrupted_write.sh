#!/bin/sh
# Usage: check_interrupted_write.sh PROGRAM CASE
# Types the dialogue CASE into PROGRAM under strace, which fails the program's 2nd, 5th, 8th...
# write with EINTR before it writes a byte, as a signal arriving at that moment would: the
# interrupted writes are retried, so the screen, standard error and exit status must equal those
# of the uninterrupted session. Skips (status 77, saying why) where strace is missing or cannot
# trace, e.g. where ptrace is not permitted.
program=$1
case=$2
trace="strace -f -qq -o /dev/null -e inject=write:error=EINTR:when=2+3"
if ! command -v strace >/dev/null 2>&1; then
  echo "skipped: strace is not installed"
  exit 77
fi
if ! probe=$($trace true 2>&1); then
  echo "skipped: strace cannot trace here: $probe"
  exit 77
fi
# LeakSanitizer refuses to run under a tracer; the other tests look for leaks.
ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
export ASAN_OPTIONS
exec sh "$(dirname "$0")/run_dialogue.sh" "$program" "$case" $trace
