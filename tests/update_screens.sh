#!/bin/sh
# Usage: update_screens.sh PROGRAM [CASE...]
# Rewrites the expected screens of the dialogue cases (all of them, or the named ones, e.g.
# rot13_hello) from what PROGRAM prints for their input: NAME.out, and NAME.err and NAME.status
# where the program writes to standard error or ends with a status other than 0. Run it after
# an intended change of text, then review the change with `git diff tests/dialogue`.
set -eu
[ $# -ge 1 ] || { echo "usage: $0 PROGRAM [CASE...]" >&2; exit 2; }
program=$1
shift
cases=$(dirname "$0")/dialogue
[ $# -gt 0 ] || set -- $(cd "$cases" && ls *.in | sed 's/\.in$//')
for name in "$@"; do
  case=$cases/$name
  [ -f "$case.in" ] || { echo "$0: no case $case.in" >&2; exit 2; }
  status=0
  "$program" <"$case.in" >"$case.out" 2>"$case.err" || status=$?
  [ -s "$case.err" ] || rm -f "$case.err"
  if [ "$status" = 0 ]; then rm -f "$case.status"; else echo "$status" >"$case.status"; fi
  echo "$name: status $status"
done
