#!/bin/sh
# Usage: check_crack_memory.sh PROGRAM MEMORY_LIMIT_KIB
# vigenere --crack -d holds its input only until the letters it searches have come: a text of
# letters larger than the limit on virtual memory is deciphered whole, and one without letters
# (all of it held, in case a letter still comes) ends with "ciphers: out of memory" and
# status 1, not with an abort. Skips (77) when the limit is 0, as for sanitized builds, which
# reserve far more.
program=$1
limit=$2
[ "$limit" = 0 ] && { echo "skipped: no memory limit in this build"; exit 77; }
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
size=$((limit * 1024 * 3 / 2))
failed=0

# Cracks $size bytes of the given byte under the limit: $work/status, err and count (of the
# bytes written).
crack_under_limit() {
  head -c "$size" /dev/zero | tr '\0' "$1" | (
    ulimit -v "$limit"
    { "$program" vigenere --crack -d 2>"$work/err"; echo $? >"$work/status"; } | wc -c >"$work/count"
  )
}

crack_under_limit q
[ "$(cat "$work/status")" = 0 ] && [ "$(cat "$work/count")" = "$size" ] &&
  grep -q '^ciphers: key [A-Z]*$' "$work/err" || {
  echo "letters: status $(cat "$work/status"), $(cat "$work/count") of $size bytes, standard error: $(cat "$work/err")"
  failed=1
}

crack_under_limit ' '
[ "$(cat "$work/status")" = 1 ] && [ "$(cat "$work/err")" = 'ciphers: out of memory' ] || {
  echo "no letters: status $(cat "$work/status"), standard error: $(cat "$work/err")"
  failed=1
}
exit $failed
