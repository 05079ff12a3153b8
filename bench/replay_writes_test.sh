#!/bin/sh
# Checks the write floor's tools: that replay_writes reads all of its input and then makes exactly
# the recorded calls with the recorded bytes, as strace sees them through write_calls.awk, and
# that both refuse recordings they could not replay faithfully.
#   replay_writes_test.sh PATH/TO/replay_writes
# Needs strace.
set -eu

[ $# -eq 1 ] || { echo "usage: $0 PATH/TO/replay_writes" >&2; exit 2; }
replayer=$1
here=$(dirname "$0")
[ -x "$replayer" ] || { echo "$0: $replayer is not an executable" >&2; exit 2; }
command -v strace >/dev/null || { echo "$0: needs strace (apt-get install strace)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
  echo "FAIL: $*" >&2
  failed=1
}

# A round trip: calls -> replay under strace -> calls again, with 20,000 bytes of input.
printf 'w 3\nv 2 4\nw 1\nv 5\nv 1 1\n' > "$work/calls"
printf 'abcdefghijklmnopq' > "$work/recorded.out"
head -c 20000 /dev/zero > "$work/input"
if ! strace -o "$work/trace.txt" -e trace=read,write,writev -e abbrev=none -s 0 \
    "$replayer" "$work/calls" "$work/recorded.out" < "$work/input" > "$work/replay.out" \
    2> "$work/stderr.txt"; then
  fail "the replayer did not end with status 0 on a valid recording"
  cat "$work/stderr.txt" >&2
fi
grep -Ev '^writev?\(2, ' "$work/trace.txt" > "$work/trace-stdout.txt"
awk -f "$here/write_calls.awk" "$work/trace-stdout.txt" > "$work/replayed.calls" ||
  fail "write_calls.awk refused the replayer's own trace"
cmp -s "$work/calls" "$work/replayed.calls" || fail "the replayer made other calls than recorded"
cmp -s "$work/recorded.out" "$work/replay.out" || fail "the replayer wrote other bytes than recorded"
awk '/^read\(0, / { got += $NF } /^read\(0, .* = 0$/ { ended = NR }
  /^writev?\(1, / && !first_write { first_write = NR }
  END { exit !(got == 20000 && ended && ended < first_write) }' "$work/trace.txt" ||
  fail "the replayer did not read all of its input before writing"
grep -q '^cpu_us=[0-9]* calls=5 bytes=17$' "$work/stderr.txt" ||
  fail "the replayer did not report its CPU time, calls and bytes"

# Recordings that cannot be replayed: the replayer exits with status 1 and says why.
refuses() {
  printf "$1" > "$work/bad.calls"
  if "$replayer" "$work/bad.calls" "$work/recorded.out" < /dev/null > /dev/null \
      2> "$work/stderr.txt"; then
    fail "the replayer accepted calls '$1'"
  elif ! grep -q "^replay_writes: $2" "$work/stderr.txt"; then
    fail "for calls '$1', the replayer said: $(cat "$work/stderr.txt")"
  fi
}
refuses 'w 17\nw 1\n' 'the recorded calls write more bytes'
refuses 'w 16\n' 'the recorded calls write fewer bytes'
refuses 'w 3 4\nw 10\n' '.*: bad buffer lengths'
refuses 'x 17\n' '.*: not a recorded call'

# Traces that cannot be replayed: write_calls.awk fails.
rejects() {
  if printf '%s\n' "$1" | awk -f "$here/write_calls.awk" > /dev/null 2>&1; then
    fail "write_calls.awk accepted the trace line '$1'"
  fi
}
rejects 'write(1, ""..., 5) = -1 ENOSPC (No space left on device)'
rejects 'write(1, ""..., 5) = 3'
rejects 'writev(1, [{iov_base=""..., iov_len=2}, {iov_base=""..., iov_len=3}], 2) = 4'
rejects 'write(2, ""..., 5) = 5'
rejects '+++ exited with 0 +++'

[ "$failed" -eq 0 ] && echo "replay_writes and write_calls.awk: all checks passed"
exit "$failed"
