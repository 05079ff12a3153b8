#!/bin/sh
# Usage: check_out_of_memory.sh PROGRAM ALLOCATOR|-
# Memory that runs out ends the program with "ciphers: out of memory" on standard error and
# status 1, never with an abort or a signal, and what it wrote until then is the start of the
# screen a whole run writes. Memory runs out
# - with ALLOCATOR (failing_allocator.c) preloaded, from the Nth allocation on, for every N up
#   to the number of allocations a session, --help and an unknown argument make;
# - under limits on virtual memory just below the least that a session needs.
# And a stack of 80 KiB is enough for the session. With "-" for ALLOCATOR (a sanitized build,
# whose own allocator answers, and whose shadow memory needs more than any limit here) only
# the stack is checked, and the test then counts as skipped (status 77).
program=$1
allocator=$2
. "$(dirname "$0")/check_common.sh"

printf 'v\nAttack at dawn, a text longer than fifteen\nlemon\nm\nHello there, general\n' >"$work/in"
printf 'r\nHello there, General Kenobi\nx\nq\n' >>"$work/in"

# Runs the program on $work/in with the arguments given, as $work/out, err and status.
run() {
  "$program" "$@" <"$work/in" >"$work/out" 2>"$work/err"
  echo $? >"$work/status"
}

# The whole run as $work/full.out, full.err and full.status.
run_whole() {
  run "$@"
  for part in out err status; do mv "$work/$part" "$work/full.$part"; done
}

# The screen with the personal method's digit rows made alike: they follow the clock's second,
# which may have moved on since the whole run.
without_digit_rows() {
  sed 's/^Ciphertext:     [0-9][0-9]*$/Ciphertext:     (digits)/' "$1"
}

# Whether the last run wrote the whole screen.
ran_whole() {
  without_digit_rows "$work/full.out" >"$work/full.alike"
  without_digit_rows "$work/out" | cmp -s "$work/full.alike" -
}

# Whether the last run ended for want of memory, having written the start of the whole screen.
ran_out() {
  [ "$(cat "$work/status")" = 1 ] && [ "$(cat "$work/err")" = "ciphers: out of memory" ] &&
    without_digit_rows "$work/out" >"$work/out.alike" &&
    without_digit_rows "$work/full.out" | head -c "$(wc -c <"$work/out.alike")" |
    cmp -s - "$work/out.alike"
}

# What the last run ended with, for a failure's message.
outcome() {
  echo "status $(cat "$work/status"), standard error: $(head -c 300 "$work/err")"
}

check_failing_allocations() {
  run_whole "$@"
  LD_PRELOAD=$allocator COUNT_ALLOCATIONS_TO=$work/count run "$@"
  count=$(cat "$work/count" 2>/dev/null)
  if [ -z "$count" ] || [ "$count" = 0 ] || ! ran_whole; then
    fail "ciphers${*:+ $*}: no allocations counted, or the count changed the run: $(outcome)"
    return
  fi
  n=1
  while [ "$n" -le "$count" ]; do
    LD_PRELOAD=$allocator FAIL_ALLOCATION_FROM=$n run "$@"
    ran_out || fail "ciphers${*:+ $*}, allocations failing from the ${n}th of $count on: $(outcome)"
    n=$((n + 1))
  done
  echo "ciphers${*:+ $*}: $count allocations; failing from each on, every run ended out of memory"
}

# The least limit in KiB, a multiple of 8, under which the session runs whole (a binary search),
# or nothing when 1 GiB is not enough.
least_sufficient_limit() {
  low=0 high=1048576
  (ulimit -v "$high" && run)
  [ "$(cat "$work/status")" = 0 ] || return
  while [ $((high - low)) -gt 8 ]; do
    middle=$(((low + high) / 2 / 8 * 8))
    if (ulimit -v "$middle" && run) && [ "$(cat "$work/status")" = 0 ]; then
      high=$middle
    else
      low=$middle
    fi
  done
  echo "$high"
}

# Below the least sufficient limit, memory runs out in main, until it is so low that the
# dynamic loader cannot even map the libraries (status 127, its own message).
check_memory_limits() {
  run_whole
  least=$(least_sufficient_limit)
  if [ -z "$least" ]; then
    fail "ulimit -v 1048576: $(outcome)"
    return
  fi
  # At most 2 MiB below it: a program linked statically might never fail in the loader.
  limit=$((least - 8)) out_of_memory=0
  while [ "$limit" -gt 0 ] && [ "$limit" -gt $((least - 2048)) ]; do
    (ulimit -v "$limit" && run)
    [ "$(cat "$work/status")" = 127 ] && break
    if ran_out; then
      out_of_memory=$((out_of_memory + 1))
    else
      fail "ulimit -v $limit: $(outcome)"
    fi
    limit=$((limit - 8))
  done
  echo "ulimit -v: a session needs $least KiB; from $((least - 8)) down to $((limit + 8)) KiB" \
    "($out_of_memory limits) it ran out of memory; at $limit KiB: $(outcome)"
  [ "$out_of_memory" -gt 0 ] || fail "no limit made the program itself run out of memory"
}

run_whole
(ulimit -s 80 && run)
if [ "$(cat "$work/status")" = 0 ] && ran_whole; then
  echo "ulimit -s 80: the session ran whole"
else
  fail "ulimit -s 80: $(outcome)"
fi

if [ "$allocator" = - ]; then
  echo "skipped in this build: failing allocations and limits on virtual memory"
  [ "$failed" = 0 ] && exit 77
  exit $failed
fi
check_failing_allocations
check_failing_allocations --help
check_failing_allocations --unknown
check_memory_limits
exit $failed
