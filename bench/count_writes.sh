#!/bin/sh
# Output system calls: with standard output redirected to a file, a pass must make exactly one
# write per flush (one per line end, plus the one before each read that follows a prompt):
# 23 for an R pass, 31 for a V pass, 25 for an M pass. Counts write and writev calls with strace
# in sessions of 10 and 11 passes of one method; the difference is one pass.
#   count_writes.sh PATH/TO/ciphers
# Needs strace.
set -eu

[ $# -eq 1 ] || { echo "usage: $0 PATH/TO/ciphers" >&2; exit 2; }
program=$1
here=$(dirname "$0")
[ -x "$program" ] || { echo "$0: $program is not an executable" >&2; exit 2; }
command -v strace >/dev/null || { echo "$0: needs strace (apt-get install strace)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Prints the number of write and writev calls in a session of $1 passes of method $2.
writes() {
  sh "$here/make_session.sh" "$1" "$2" > "$work/session.in"
  if ! strace -o "$work/trace.txt" -e trace=write,writev \
      "$program" < "$work/session.in" > "$work/session.out"; then
    echo "FAIL: the $1-pass $2 session did not end with status 0" >&2
    exit 1
  fi
  grep -Ec '^(write|writev)\(' "$work/trace.txt" || true
}

failed=0
for expected in R:23 V:31 M:25; do
  method=${expected%%:*}
  want=${expected#*:}
  more=$(writes 11 "$method")
  fewer=$(writes 10 "$method")
  got=$((more - fewer))
  echo "$method pass: $got write calls (exactly $want required)"
  if [ "$got" -ne "$want" ]; then
    echo "FAIL: a $method pass makes $got write calls instead of $want" >&2
    failed=1
  fi
done
echo "quit-only session: $(writes 0 R) write calls"
exit "$failed"
