#!/bin/sh
# Usage: check_huge_key.sh PROGRAM [MEMORY_LIMIT_KIB]
# A Vigenere key that is one word of 300 MB is read in bounded memory, under a limit on virtual
# memory (none when the second argument is 0, as for sanitized builds, which reserve far more),
# and the session goes on after it: a key with a non-letter at its very end is refused, the
# next key is taken, and the run after that happens too.
program=$1
limit=${2:-400000}
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
key_bytes=300000000

letters() {
  head -c "$key_bytes" /dev/zero | tr '\0' 'k'
}

{
  printf 'v\nattack at dawn\n'
  letters
  printf '1\n'
  letters
  printf '\nr\nHello\nq\n'
} | (
  [ "$limit" = 0 ] || ulimit -v "$limit"
  "$program" >"$work/out" 2>"$work/err"
)
status=$?

failed=0
if [ "$status" != 0 ] || [ -s "$work/err" ]; then
  echo "status $status, standard error: $(cat "$work/err")"
  failed=1
fi
grep -a -c 'Invalid Key. Please use letters only$' "$work/out" | grep -q -x 1 ||
  { echo "the key with a non-letter at its end was not refused once"; failed=1; }
for row in 'Key:            KKKKKK KK KKKK' 'Ciphertext:     KDDKMU KD NKGX' 'Ciphertext:     Uryyb'; do
  grep -q -x "$row" "$work/out" || { echo "missing row: $row"; failed=1; }
done
[ "$failed" = 0 ] || tail -c 2000 "$work/out"
exit $failed
