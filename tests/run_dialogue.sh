#!/bin/sh
# Usage: run_dialogue.sh PROGRAM CASE
# Types CASE.in into PROGRAM and compares its whole standard output with CASE.out, its standard
# error with CASE.err (empty if absent) and its exit status with CASE.status (0 if absent).
program=$1
case=$2
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT

"$program" <"$case.in" >"$work/out" 2>"$work/err"
status=$?

expected_status=0
[ -f "$case.status" ] && expected_status=$(cat "$case.status")
[ -f "$case.err" ] && cp "$case.err" "$work/expected_err" || : >"$work/expected_err"

failed=0
if ! cmp -s "$case.out" "$work/out"; then
  echo "standard output differs (- expected, + actual):"
  diff -u "$case.out" "$work/out" | cat -A | head -n 80
  failed=1
fi
if ! cmp -s "$work/expected_err" "$work/err"; then
  echo "standard error differs (- expected, + actual):"
  diff -u "$work/expected_err" "$work/err"
  failed=1
fi
if [ "$status" != "$expected_status" ]; then
  echo "exit status $status, expected $expected_status"
  failed=1
fi
exit $failed
