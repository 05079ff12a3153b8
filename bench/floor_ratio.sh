#!/bin/bash
# Write floor ratio: for sessions of 20,000 passes of one method (R, V, M; 800-character texts),
# the CPU time (user + sys) of the session over that of its write floor. The floor is the
# replayer bench/replay_writes: it reads the same input, then makes exactly the session's write
# calls, recorded with strace, with the same bytes, to the same kind of file. Prints, for each
# method, the median session and floor CPU times and the median ratio of 5 alternating pairs
# (session, floor, session, floor, ...), with the range of the pairs' ratios. It never fails on
# the figures, which depend on the machine; it fails only when something does not run.
# A session's CPU time is the whole process's, as bash's time reports it (to the millisecond);
# the floor's is the replayer's own, less its loading of the recording. M's digits vary from run
# to run with the clock; its floor replays the traced run.
#   floor_ratio.sh PATH/TO/ciphers [REPLAYER]
# REPLAYER defaults to bench/replay_writes in the build directory of PATH/TO/ciphers. The
# environment may set PASSES (default 20000) and PAIRS (default 5). Needs bash and strace; uses taskset when present.
if [ -z "${BASH_VERSION:-}" ]; then exec bash "$0" "$@"; fi
set -euo pipefail

usage() {
  echo "usage: $0 PATH/TO/ciphers [REPLAYER]" >&2
  exit 2
}

[ $# -ge 1 ] && [ $# -le 2 ] || usage
program=$1
replayer=${2:-$(dirname "$program")/bench/replay_writes}
here=$(dirname "$0")
passes=${PASSES:-20000}
pairs=${PAIRS:-5}
case $passes in '' | *[!0-9]*) echo "$0: PASSES must be a number" >&2; exit 2 ;; esac
case $pairs in '' | *[!0-9]* | 0) echo "$0: PAIRS must be a positive number" >&2; exit 2 ;; esac
[ -x "$program" ] || { echo "$0: $program is not an executable" >&2; exit 2; }
[ -x "$replayer" ] || {
  echo "$0: $replayer is not an executable (build the target replay_writes)" >&2
  exit 2
}
command -v strace >/dev/null || { echo "$0: needs strace (apt-get install strace)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The first two processors this script may run on (one if it has only one).
read -r cpu_one cpu_two < <(awk -F'\t' '$1 == "Cpus_allowed_list:" {
  n = split($2, ranges, ",")
  for (i = 1; i <= n && found < 2; i++) {
    if (split(ranges[i], ends, "-") == 1) ends[2] = ends[1]
    for (cpu = ends[1]; cpu <= ends[2] && found < 2; cpu++) list = list (found++ ? " " : "") cpu
  }
  print list
}' /proc/self/status) || true

# Runs the session of method $2 under strace, both on processor $1 (tracing makes the program
# and strace take turns at every call, which is several times faster on one processor than
# across two). Its output goes to $work/$2.recorded, its write calls, one a line ("w N" or
# "v N1 N2 ..."), to $work/$2.calls.
record() {
  local pin=()
  if [ -n "$1" ] && command -v taskset >/dev/null; then pin=(taskset -c "$1"); fi
  if ! "${pin[@]}" strace -o "$work/$2.trace" -e trace=write,writev -e abbrev=none -s 0 \
      "$program" < "$work/$2.in" > "$work/$2.recorded"; then
    echo "FAIL: the recorded $2 session did not end with status 0" >&2
    exit 1
  fi
  if ! awk -f "$here/write_calls.awk" "$work/$2.trace" > "$work/$2.calls"; then
    echo "$0: cannot read the write calls of the $2 session from strace's output" >&2
    exit 1
  fi
  rm -f "$work/$2.trace"
}

# Records the sessions of methods $1 and $2, side by side on two processors if there are two.
record_two() {
  if [ -z "${cpu_two:-}" ]; then
    record "${cpu_one:-}" "$1"
    record "${cpu_one:-}" "$2"
    return
  fi
  local first second
  record "$cpu_one" "$1" & first=$!
  record "$cpu_two" "$2" & second=$!
  wait "$first" || { wait "$second" || true; exit 1; }
  wait "$second" || exit 1
}

# Prints the CPU time (user + sys, seconds) of one session of method $1, output to a new file.
session_cpu() {
  rm -f "$work/timed.out"
  local TIMEFORMAT='%3U %3S'
  if ! { time "$program" < "$work/$1.in" > "$work/timed.out" 2> "$work/stderr.txt"; } \
      2> "$work/time.txt"; then
    echo "FAIL: the $1 session did not end with status 0" >&2
    cat "$work/stderr.txt" >&2
    exit 1
  fi
  awk '{ printf "%.3f\n", $1 + $2 }' "$work/time.txt"
}

# Prints the CPU time (seconds) of one replay of method $1's recorded calls, output to a new file.
floor_cpu() {
  rm -f "$work/replay.out"
  if ! "$replayer" "$work/$1.calls" "$work/$1.recorded" < "$work/$1.in" > "$work/replay.out" \
      2> "$work/replay.txt"; then
    echo "FAIL: the replayer did not run on the $1 session's calls:" >&2
    cat "$work/replay.txt" >&2
    exit 1
  fi
  awk -F'[= ]' '/^cpu_us=/ { printf "%.6f\n", $2 / 1e6; found = 1 }
    END { exit !found }' "$work/replay.txt" || {
    echo "$0: the replayer printed no CPU time" >&2
    exit 1
  }
}

# Prints the median of its arguments.
median() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
    END { printf "%.3f\n", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

echo "write floor ratio: CPU time (user + sys) of a $passes-pass session over that of replaying"
echo "its write calls; medians of $pairs alternating pairs"
for method in R V M; do
  sh "$here/make_session.sh" "$passes" "$method" > "$work/$method.in"
done
record_two R V
record "${cpu_one:-}" M
for method in R V M; do
  sessions=() floors=() ratios=()
  for ((pair = 1; pair <= pairs; pair++)); do
    session=$(session_cpu "$method")
    floor=$(floor_cpu "$method")
    if [ "$pair" -eq 1 ] && ! cmp -s "$work/replay.out" "$work/$method.recorded"; then
      echo "$0: the replayer did not write the recorded output" >&2
      exit 1
    fi
    sessions+=("$session") floors+=("$floor")
    ratios+=("$(awk -v s="$session" -v f="$floor" 'BEGIN { printf "%.4f\n", (f > 0 ? s / f : 0) }')")
  done
  calls=$(wc -l < "$work/$method.calls")
  read -r low high < <(printf '%s\n' "${ratios[@]}" | sort -g | awk 'NR == 1 { l = $1 } { h = $1 }
    END { print l, h }')
  awk -v m="$method" -v c="$calls" -v n="$passes" -v s="$(median "${sessions[@]}")" \
    -v f="$(median "${floors[@]}")" -v r="$(median "${ratios[@]}")" -v l="$low" -v h="$high" \
    'BEGIN { printf "%s: %d write calls (%.2f a pass); session %.3f s, floor %.3f s, ratio %.2f (pairs %.2f to %.2f)\n",
      m, c, (n > 0 ? c / n : 0), s, f, r, l, h }'
done
