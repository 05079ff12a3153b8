#!/bin/bash
# Usage: check_filter_splits.sh PROGRAM
# Several FILEs are one stream: for random splits of a text into 1 to 4 files, every method in
# both directions writes what it writes for the whole text, and a line that personal -d refuses
# is named FILE:LINE in the file that holds its fault, counting lines from that file's start.
program=$1
. "$(dirname "$0")/check_common.sh"
cd "$work" || exit 1
RANDOM=2026

# Long runs of letters, spaces, CR LF, an empty line and a last line without a line end.
for i in $(seq 40); do
  printf 'Lemonade%.0s' $(seq $((RANDOM % 9)))
  printf ' at dawn, %d!\n' "$i"
  [ $((i % 7)) = 0 ] && printf 'windows line\r\n\n'
done >text
printf 'the end' >>text
"$program" personal --seed 5 text >digits

# Cuts file $1 into 1 to 4 files, part1 to partN, at random places; names them in $parts.
split_randomly() {
  local size cuts=() at=0 n=1 cut
  size=$(wc -c <"$1")
  for _ in $(seq $((RANDOM % 4))); do cuts+=($(((RANDOM * 32768 + RANDOM) % (size + 1)))); done
  parts=()
  for cut in $(printf '%s\n' "${cuts[@]}" "$size" | sort -n); do
    tail -c +$((at + 1)) "$1" | head -c $((cut - at)) >part$n
    parts+=(part$n)
    at=$cut n=$((n + 1))
  done
}

for trial in $(seq 12); do
  for method in rot13 'rot13 -d' 'vigenere -k lemonade' 'vigenere -d -k lemonade' \
    'personal --seed 5' 'vigenere --crack' 'vigenere --crack -d' 'personal -d'; do
    input=text
    [ "$method" = 'personal -d' ] && input=digits
    split_randomly "$input"
    # shellcheck disable=SC2086  # the method's words
    "$program" $method "$input" >whole 2>whole.err
    # shellcheck disable=SC2086
    "$program" $method "${parts[@]}" >split 2>split.err
    cmp -s whole split && cmp -s whole.err split.err ||
      fail "trial $trial, $method over ${#parts[@]} files of $(wc -c "${parts[@]}" | tr '\n' ' ')"
  done
  # A digit turned into x: decrypted up to it, and refused where it lies.
  at=$((RANDOM % $(wc -c <digits)))
  { head -c "$at" digits; printf x; tail -c +$((at + 2)) digits; } >damaged
  split_randomly damaged
  for part in "${parts[@]}"; do
    size=$(wc -c <"$part")
    [ "$at" -lt "$size" ] && break
    at=$((at - size))
  done
  line=$(($(head -c "$at" "$part" | tr -cd '\n' | wc -c) + 1))
  "$program" personal -d damaged >whole 2>/dev/null
  "$program" personal -d "${parts[@]}" >split 2>err
  status=$?
  [ "$status" = 1 ] && cmp -s whole split &&
    [ "$(cat err)" = "ciphers: $part:$line: not a digit string of the personal method" ] ||
    fail "trial $trial, a fault at $part:$line: status $status, $(cat err)"
done
exit $failed
