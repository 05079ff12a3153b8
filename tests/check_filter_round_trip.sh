#!/bin/sh
# Usage: check_filter_round_trip.sh PROGRAM [EMULATOR [ARG...]]
# Each method, encrypting files and pipes and decrypting them back, gives every byte back: NUL
# and bytes above 0x7F, CR LF, empty lines, lines longer than a block, a last line without a line
# end. A seed gives the same digits on every build, and a digit string that the dialogue shows
# decrypts to the dialogue's plaintext.
program=$1
shift
. "$(dirname "$0")/check_common.sh"
cd "$work" || exit 1

# The text: every byte value, a CR LF line, empty lines, a line of 300000 bytes, and a last line
# without a line end.
awk 'BEGIN { for (i = 0; i < 256; i++) printf "%c", i; printf "\n" }' >text
printf 'Windows line\r\n\n\nab\0cd\n' >>text
head -c 300000 /dev/zero | tr '\0' 'z' >>text
printf '\nlast, no line end' >>text

"$@" "$program" personal --seed 7 text >digits && "$@" "$program" personal -d <digits >back &&
  cmp -s text back || fail "personal: a file does not come back"
"$@" "$program" rot13 <text | "$@" "$program" rot13 -d - >back && cmp -s text back ||
  fail "rot13: a pipe does not come back"
"$@" "$program" vigenere -k secret text | "$@" "$program" vigenere -d -k SECRET >back &&
  tr 'a-z' 'A-Z' <text | cmp -s - back || fail "vigenere: a pipe does not come back upper-cased"

# CR LF line ends of digit lines stay with the decrypted lines.
printf '4731448460253\r\n47\r\n98910297092' >digits
printf 'abc\r\n\r\nabc' >expected
"$@" "$program" personal -d digits >back && cmp -s expected back ||
  fail "personal -d: CR LF line ends: $(od -c back)"

[ "$(printf 'abc\n' | "$@" "$program" personal --seed 42)" = 5271498517150 ] ||
  fail "personal --seed 42 of abc: $(printf 'abc\n' | "$@" "$program" personal --seed 42)"

# The dialogue's Ciphertext row, its CR dropped on Windows, decrypted by the filter.
printf 'm\nHello, World! caf\303\251\nq\n' | "$@" "$program" >screen
sed -n 's/^Ciphertext:     \([0-9]*\)\r\{0,1\}$/\1/p' screen >digits
printf 'Hello, World! caf\303\251\n' >expected
"$@" "$program" personal -d digits >back && cmp -s expected back ||
  fail "the dialogue's digit string $(cat digits) decrypts to: $(cat back)"
exit $failed
