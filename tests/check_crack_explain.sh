#!/bin/sh
# Usage: check_crack_explain.sh PROGRAM
# vigenere --crack --explain through the real program: the whole report on a fixed ciphertext in
# the C locale (ASCII only) and in C.UTF-8 (block characters), byte for byte; a text too short to
# be sure of its key keeps the warning in the report; and the refusals: no letter (status 1,
# --crack's message), an unreadable file (named, status 1), --explain or --json without --crack
# and both at once (status 2, one line), none writing a report.
program=$1
here=$(dirname "$0")
. "$here/check_common.sh"

run() {
  "$@" >"$work/out" 2>"$work/err"
  status=$?
}

"$program" vigenere -k lemon "$here/crack_explain/plain.txt" >"$work/cipher" ||
  fail "vigenere -k lemon: status $?"
for locale in C C.UTF-8; do
  run env LC_ALL=$locale "$program" vigenere --crack --explain "$work/cipher"
  cmp -s "$work/out" "$here/crack_explain/report.$locale" && [ "$status" = 0 ] &&
    [ ! -s "$work/err" ] ||
    fail "--explain under $locale: status $status, $(cat "$work/err"); output differs:" \
      "$(diff "$here/crack_explain/report.$locale" "$work/out" | head -20)"
done

printf 'Hello, world\n' >"$work/short"
run env LC_ALL=C "$program" vigenere --crack --explain "$work/short"
[ "$status" = 0 ] && grep -q '^  Warning: the text is too short to be sure of the key\.$' "$work/out" ||
  fail "a short text: status $status, no warning in the report"

printf '1914-1918!\n' >"$work/digits"
for format in --explain --json; do
  run "$program" vigenere --crack $format "$work/digits"
  [ "$status" = 1 ] && [ ! -s "$work/out" ] &&
    [ "$(cat "$work/err")" = 'ciphers: the input holds no letters, so it shows no key' ] ||
    fail "no letters $format: status $status, error $(cat "$work/err")"
  run "$program" vigenere --crack $format "$work/missing" "$work/cipher"
  [ "$status" = 1 ] && [ -s "$work/out" ] && grep -q "$work/missing" "$work/err" ||
    fail "an unreadable file $format: status $status, error $(cat "$work/err")"
done

for arguments in '--explain' '--json' '-k lemon --json' '--crack --explain --json' \
  '--crack --json -d'; do
  run "$program" vigenere $arguments "$work/cipher"
  [ "$status" = 2 ] && [ ! -s "$work/out" ] && [ "$(wc -l <"$work/err")" = 1 ] ||
    fail "vigenere $arguments: status $status, error $(cat "$work/err")"
done

exit $failed
