#!/bin/bash
# Usage: check_unwritable_output.sh PROGRAM
# Output that cannot be written stops the program with one line on standard error and status 1;
# a reader that closes the pipe early ends it quietly, whether SIGPIPE is ignored or not.
program=$1
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
failed=0

printf 'r\nHello\nq\n' | "$program" >/dev/full 2>"$work/err"
status=$?
expected='ciphers: cannot write the output: No space left on device'
if [ "$status" != 1 ] || [ "$(cat "$work/err")" != "$expected" ]; then
  echo "to /dev/full: status $status, standard error: $(cat "$work/err")"
  failed=1
fi

# Many passes, so that the program is still writing when the reader has gone.
for i in $(seq 5000); do printf 'r\nHello\n'; done >"$work/session"
for sigpipe in default ignored; do
  (
    [ "$sigpipe" = ignored ] && trap '' PIPE
    "$program" <"$work/session" 2>"$work/err" | head -n 3 >"$work/head"
    echo "${PIPESTATUS[0]}" >"$work/status"
  )
  status=$(cat "$work/status")
  if [ -s "$work/err" ] || [ "$status" = 0 ] || [ "$(sed -n 2p "$work/head")" != "Choose Method" ]; then
    echo "closed pipe, SIGPIPE $sigpipe: status $status, standard error: $(cat "$work/err")"
    failed=1
  fi
done
exit $failed
