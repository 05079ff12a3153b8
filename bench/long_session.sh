#!/bin/sh
# Long sessions: feeds the program scripted sessions of 1,000 and 100,000 passes (R, V and M in
# turn, 800-character texts), reports passes per second and peak resident memory, and fails
# when the peak at 100,000 passes exceeds the peak at 1,000 by more than 1 MiB. Then runs the
# 1,000-pass session under valgrind's leak check, which must report no error.
#   long_session.sh PATH/TO/ciphers
# Needs GNU time (/usr/bin/time, Debian package "time") and valgrind.
set -eu

[ $# -eq 1 ] || { echo "usage: $0 PATH/TO/ciphers" >&2; exit 2; }
program=$1
here=$(dirname "$0")
[ -x "$program" ] || { echo "$0: $program is not an executable" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "$0: needs GNU time as /usr/bin/time (apt-get install time)" >&2; exit 2; }
command -v valgrind >/dev/null || { echo "$0: needs valgrind (apt-get install valgrind)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs a session of $1 passes; sets seconds and peak (KiB).
measure() {
  sh "$here/make_session.sh" "$1" > "$work/session.in"
  if ! /usr/bin/time -f '%e %M' -o "$work/time.txt" "$program" < "$work/session.in" > /dev/null; then
    echo "FAIL: the $1-pass session did not end with status 0" >&2
    exit 1
  fi
  read -r seconds peak < "$work/time.txt"
  awk -v n="$1" -v s="$seconds" -v kib="$peak" 'BEGIN {
    rate = s > 0 ? sprintf("%.0f passes/s", n / s) : "too quick to time"
    printf "%7d passes: %6.2f s, %s, peak resident memory %d KiB\n", n, s, rate, kib
  }'
}

measure 1000
small=$peak
measure 100000
large=$peak

growth=$((large - small))
if [ "$growth" -gt 1024 ]; then
  echo "FAIL: the peak grew by $growth KiB from 1,000 to 100,000 passes (at most 1024)" >&2
  exit 1
fi
echo "peak growth from 1,000 to 100,000 passes: $growth KiB (at most 1024)"

sh "$here/make_session.sh" 1000 > "$work/session.in"
if ! valgrind -q --leak-check=full --error-exitcode=1 --log-file="$work/valgrind.txt" \
    "$program" < "$work/session.in" > /dev/null || [ -s "$work/valgrind.txt" ]; then
  cat "$work/valgrind.txt" >&2
  echo "FAIL: valgrind found errors or leaks in the 1,000-pass session" >&2
  exit 1
fi
echo "valgrind --leak-check=full on 1,000 passes: clean"
