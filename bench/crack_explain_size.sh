#!/bin/bash
# vigenere --crack --explain and --json on a large ciphertext, against --crack on the same file:
# the CPU time (user + sys) of each, the ratio to --crack's, and the peak resident memory, next to
# each one's peak on a ciphertext of a few kilobytes. The text is Persuasion (bench/prose)
# repeated to the size, enciphered under a key of eight letters, in a file. The goal printed beside the
# times is at most 1.5 times --crack's; the script fails only when something does not run, when
# the three do not find the same key, or when a peak on the large text exceeds its peak on the
# small one by more than 1 MiB (1024 KiB).
#   crack_explain_size.sh PATH/TO/ciphers
# The environment may set MIB, the large text's size in MiB (default 1024).
# Needs GNU time (/usr/bin/time, Debian package "time").
if [ -z "${BASH_VERSION:-}" ]; then exec bash "$0" "$@"; fi
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 PATH/TO/ciphers" >&2; exit 2; }
program=$1
mib=${MIB:-1024}
case $mib in '' | *[!0-9]* | 0) echo "$0: MIB must be a positive number" >&2; exit 2 ;; esac
[ -x "$program" ] || { echo "$0: $program is not an executable" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "$0: needs GNU time as /usr/bin/time (apt-get install time)" >&2; exit 2; }
prose=$(dirname "$0")/prose/persuasion.txt

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

head -c 4000 "$prose" | "$program" vigenere -k Lemonade >"$work/small"
copies=$((mib * 1048576 / $(wc -c <"$prose") + 1))
for ((i = 0; i < copies; ++i)); do cat "$prose"; done | "$program" vigenere -k Lemonade >"$work/large"

# Runs one mode on a file: sets seconds (user + sys), peak (KiB) and the key found.
measure() {
  /usr/bin/time -f '%U %S %M' -o "$work/time" "$program" vigenere --crack "$@" >"$work/out"
  read -r user sys peak <"$work/time"
  seconds=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.2f", u + s }')
  case $1 in
    --explain) key=$(sed -n 's/^  key \([A-Z]*\) .*/\1/p' "$work/out") ;;
    --json) key=$(sed 's/.*"key":"\([A-Z]*\)".*/\1/' "$work/out") ;;
    *) key=$(cat "$work/out") ;;
  esac
}

status=0
cat "$work/large" >/dev/null  # into the page cache, for every run alike
printf "%-10s %8s   %10s %16s\n" mode "cpu" "peak, large" "peak, small"
for mode in '' --explain --json; do
  measure $mode "$work/small"
  small_peak=$peak
  measure $mode "$work/large"
  if [ -z "$mode" ]; then
    crack_seconds=$seconds
    crack_key=$key
  fi
  ratio=$(awk -v a="$seconds" -v b="$crack_seconds" 'BEGIN { printf "%.2f", a / b }')
  printf '%-10s %8s s %6s KiB %12s KiB   %s x --crack (goal at most 1.5)\n' \
    "${mode:---crack}" "$seconds" "$peak" "$small_peak" "$ratio"
  if [ "$key" != "$crack_key" ]; then
    echo "$0: ${mode:---crack} found '$key', --crack '$crack_key'" >&2
    status=1
  fi
  if [ $((peak - small_peak)) -gt 1024 ]; then
    echo "$0: ${mode:---crack} peaks at $peak KiB on $mib MiB, $small_peak KiB on 4 kB" >&2
    status=1
  fi
done
exit $status
