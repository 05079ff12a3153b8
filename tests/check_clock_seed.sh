#!/bin/sh
# Usage: check_clock_seed.sh PROGRAM [EMULATOR [ARG...]]
# The personal method is seeded from the clock in whole seconds: two runs started within one
# second print the same ciphertext, and a run in a later second prints another one. Exits 77
# (skipped) when no two runs could be started within one second.
program=$1
shift
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
# Long enough that two seeds give the same walk by chance practically never.
printf 'm\nTwo runs in one second agree, runs in two seconds do not.\nq\n' >"$work/in"

# The ciphertext row of one run, without the CR of a Windows line end.
ciphertext() {
  "$@" "$program" <"$work/in" | sed -n 's/^Ciphertext:     \([0-9]*\)\r\{0,1\}$/\1/p'
}

# Both runs at once, so that a slow machine has the whole second for them; retried when they
# straddle a second boundary.
for attempt in 1 2 3 4 5 6 7 8 9 10; do
  before=$(date +%s)
  ciphertext "$@" >"$work/first" &
  ciphertext "$@" >"$work/second"
  wait
  after=$(date +%s)
  [ "$before" = "$after" ] && break
done
if [ "$before" != "$after" ]; then
  echo "no two runs within one second in $attempt attempts"
  exit 77
fi

first=$(cat "$work/first")
second=$(cat "$work/second")
echo "second $before: $first"
echo "second $before: $second"
if [ -z "$first" ] || [ "$first" != "$second" ]; then
  echo "two runs within one second printed different ciphertexts"
  exit 1
fi

sleep 1
later=$(ciphertext "$@")
echo "a later second: $later"
if [ -z "$later" ] || [ "$later" = "$first" ]; then
  echo "a run in a later second printed the same ciphertext"
  exit 1
fi
