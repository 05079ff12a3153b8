#!/bin/sh
# Usage: check_unreadable_input.sh PROGRAM
# Standard input that cannot be read is no end of input: with a directory or a closed descriptor
# as standard input, the program writes the menu and one line end, names the reason on standard
# error and ends with status 1.
program=$1
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
failed=0

printf '\nChoose Method\n------------------\nV: Vigenere\nR: ROT13\nM: My own personal method\nQ: quit\n------------------\n?: \n' >"$work/expected"

check() {
  reason=$1 status=$2
  if [ "$status" != 1 ] || ! cmp -s "$work/expected" "$work/out" ||
      [ "$(cat "$work/err")" != "ciphers: cannot read the input: $reason" ]; then
    echo "standard input that fails with '$reason': status $status, standard error: $(cat "$work/err")"
    diff "$work/expected" "$work/out"
    failed=1
  fi
}

"$program" </ >"$work/out" 2>"$work/err"
check "Is a directory" $?
"$program" <&- >"$work/out" 2>"$work/err"
check "Bad file descriptor" $?
exit $failed
