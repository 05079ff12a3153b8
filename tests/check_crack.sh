#!/bin/sh
# Usage: check_crack.sh PROGRAM [EMULATOR [ARG...]]
# vigenere --crack through the real program: a message enciphered by it in two files comes back
# with its key, or deciphered with the key on standard error; a text too short to be sure is
# still cracked, with a warning; input without letters ends with status 1, a key given with
# --crack with status 2, and neither writes to standard output.
program=$1
shift
. "$(dirname "$0")/check_common.sh"
cd "$work" || exit 1

# Runs the program; keeps its status, its output, and its standard error without CRs (Windows
# writes its line ends as CR LF there).
run() {
  "$@" >out 2>err.raw
  status=$?
  tr -d '\r' <err.raw >err
}

printf 'Meet me at the old mill on the hill after the moon has risen over the wood,\n' >plain
printf 'and bring the letters, the map and the lantern with you; tell nobody.\n' >>plain
"$@" "$program" vigenere -k lemon plain >cipher || fail "vigenere -k lemon: status $?"
head -c 80 cipher >first
tail -c +81 cipher >second

run "$@" "$program" vigenere --crack first - <second
[ "$status" = 0 ] && [ "$(cat out)" = LEMON ] && [ ! -s err ] ||
  fail "--crack: status $status, output $(cat out), error $(cat err)"

run "$@" "$program" vigenere --crack -d first second
tr 'a-z' 'A-Z' <plain | cmp -s - out && [ "$status" = 0 ] &&
  [ "$(cat err)" = 'ciphers: key LEMON' ] ||
  fail "--crack -d: status $status, output $(cat out), error $(cat err)"

printf 'Hello, world\n' >short
run "$@" "$program" vigenere --crack short
[ "$status" = 0 ] && grep -q '^[A-Z][A-Z]*$' out &&
  [ "$(cat err)" = 'ciphers: the text is too short to be sure of the key' ] ||
  fail "a short text: status $status, output $(cat out), error $(cat err)"

printf '1914-1918!\n' >digits
for decipher in '' -d; do
  run "$@" "$program" vigenere --crack $decipher digits
  [ "$status" = 1 ] && [ ! -s out ] &&
    [ "$(cat err)" = 'ciphers: the input holds no letters, so it shows no key' ] ||
    fail "no letters $decipher: status $status, output $(cat out), error $(cat err)"
done

run "$@" "$program" vigenere --crack -k lemon cipher
[ "$status" = 2 ] && [ ! -s out ] && grep -q 'takes no key' err ||
  fail "--crack with a key: status $status, output $(cat out), error $(cat err)"

exit $failed
