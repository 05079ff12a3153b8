#!/bin/sh
# Usage: check_crack_memory.sh PROGRAM MEMORY_LIMIT_KIB
# vigenere --crack -d holds its whole input: one larger than the limit on virtual memory ends
# with "ciphers: out of memory" and status 1, not with an abort. Skips (77) when the limit is 0,
# as for sanitized builds, which reserve far more.
program=$1
limit=$2
[ "$limit" = 0 ] && { echo "skipped: no memory limit in this build"; exit 77; }
err=$(mktemp) || exit 1
trap 'rm -f "$err"' EXIT

head -c $((limit * 1024 * 3 / 2)) /dev/zero | tr '\0' 'q' | (
  ulimit -v "$limit"
  "$program" vigenere --crack -d >/dev/null 2>"$err"
)
status=$?
[ "$status" = 1 ] && [ "$(cat "$err")" = 'ciphers: out of memory' ] && exit 0
echo "status $status, standard error: $(cat "$err")"
exit 1
