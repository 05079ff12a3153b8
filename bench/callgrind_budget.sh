#!/bin/sh
# Instruction budgets: counts, with callgrind, the user-space instructions that runMenuLoop
# executes in a 1,000-pass session of one method (800-character texts), less those of a session
# that only quits, and divides by the 800,000 text characters. Fails when an R pass takes more
# than 20 instructions per character, a V pass more than 55 or an M pass more than 200.
#   callgrind_budget.sh PATH/TO/ciphers
# Needs valgrind.
set -eu

[ $# -eq 1 ] || { echo "usage: $0 PATH/TO/ciphers" >&2; exit 2; }
program=$1
here=$(dirname "$0")
[ -x "$program" ] || { echo "$0: $program is not an executable" >&2; exit 2; }
command -v valgrind >/dev/null || { echo "$0: needs valgrind (apt-get install valgrind)" >&2; exit 2; }

passes=1000
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Prints the instructions executed inside runMenuLoop for a session of $1 passes of method $2.
instructions() {
  sh "$here/make_session.sh" "$1" "$2" > "$work/session.in"
  if ! valgrind -q --tool=callgrind --toggle-collect='runMenuLoop*' \
      --callgrind-out-file="$work/callgrind.out" "$program" < "$work/session.in" > /dev/null; then
    echo "FAIL: the $1-pass $2 session did not end with status 0" >&2
    exit 1
  fi
  total=$(awk '/^totals:/ { print $2 }' "$work/callgrind.out")
  [ -n "$total" ] || { echo "$0: no instruction total in callgrind's output" >&2; exit 1; }
  echo "$total"
}

quit_only=$(instructions 0 R)
echo "quit-only session: $quit_only instructions in runMenuLoop"
failed=0
for budget in R:20 V:55 M:200; do
  method=${budget%%:*}
  limit=${budget#*:}
  total=$(instructions "$passes" "$method")
  if ! awk -v m="$method" -v t="$total" -v q="$quit_only" -v n="$passes" -v limit="$limit" 'BEGIN {
    if (t <= q) { print "no instructions counted inside runMenuLoop" > "/dev/stderr"; exit 1 }
    per = (t - q) / (n * 800)
    printf "%s: %d instructions for %d passes, %.1f per character (budget %d)\n", m, t - q, n, per, limit
    exit per > limit
  }'; then
    echo "FAIL: $method passes are over budget" >&2
    failed=1
  fi
done
exit "$failed"
