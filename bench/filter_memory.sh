#!/bin/bash
# Peak memory of the filters on a huge line: the peak resident memory of each filter on one line
# of 4 GiB without a line end, next to that of the same filter on one line of 90 bytes. The line
# is English-like text (letters of both cases, blanks, punctuation) streamed from a generator,
# never stored on disk. Three pipelines run, each for both lines:
#   LINE | ciphers rot13 | wc -c
#   LINE | ciphers vigenere -k Lemon | ciphers vigenere -d -k Lemon | wc -c
#   LINE | ciphers personal --seed 1 | ciphers personal -d | wc -c
# so that the decrypting filters read what the encrypting ones wrote: a single line of digits of
# about four bytes a byte of text. Every filter must end with status 0 and the last one give back
# as many bytes as the line holds. Fails when a filter's peak on the huge line exceeds its peak on
# the short one by more than 1 MiB (1024 KiB).
#   filter_memory.sh PATH/TO/ciphers
# The environment may set LINE_BYTES, the huge line's length (default 4294967296).
# Needs GNU time (/usr/bin/time, Debian package "time").
if [ -z "${BASH_VERSION:-}" ]; then exec bash "$0" "$@"; fi
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 PATH/TO/ciphers" >&2; exit 2; }
program=$1
line_bytes=${LINE_BYTES:-4294967296}
case $line_bytes in '' | *[!0-9]* | 0) echo "$0: LINE_BYTES must be a positive number" >&2; exit 2 ;; esac
[ -x "$program" ] || { echo "$0: $program is not an executable" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "$0: needs GNU time as /usr/bin/time (apt-get install time)" >&2; exit 2; }

phrase="The quick brown fox jumps over the lazy dog, and PACK MY BOX WITH FIVE DOZEN LIQUOR JUGS! "
short_bytes=${#phrase}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Writes $1 bytes of the phrase over and over, with no line end, in 64 KiB pieces: at GB/s, so
# that the filters, not the generator, set the pace.
line() {
  awk -v n="$1" -v phrase="$phrase" 'BEGIN {
    piece = phrase
    while (length(piece) < 65536) piece = piece piece
    piece = substr(piece, 1, 65536)
    for (left = n; left >= 65536; left -= 65536) printf "%s", piece
    printf "%s", substr(piece, 1, left)
  }'
}

# Runs "$program $2" under GNU time, which writes the peak resident memory (KiB) to
# $work/$1.peak and, when the filter fails, its status first.
timed() {
  local name=$1
  local -a arguments
  read -r -a arguments <<< "$2"
  /usr/bin/time -f '%M' -o "$work/$name.peak" "$program" "${arguments[@]}" 2> "$work/$name.err"
}

# Prints the peak (KiB) that filter $1's last run left.
peak() {
  tail -n 1 "$work/$1.peak"
}

# Checks that the pipeline whose statuses are $3... ended well for the line of $1 bytes: every
# status 0 and $1 bytes out of the last stage ($2 names the filters, for the message).
check() {
  local bytes=$1 names=$2
  shift 2
  local status count
  count=$(cat "$work/count.txt")
  for status in "$@" "$((count == bytes ? 0 : 1))"; do
    if [ "$status" -ne 0 ]; then
      echo "FAIL: on a line of $bytes bytes, $names: statuses $*, $count bytes out" >&2
      cat "$work"/*.err >&2
      exit 1
    fi
  done
}

# Runs the three pipelines on a line of $1 bytes; leaves each filter's peak in $work/NAME.peak.
run_all() {
  local bytes=$1 start=$SECONDS
  set +e
  line "$bytes" | timed rot13 rot13 | wc -c > "$work/count.txt"
  local -a statuses=("${PIPESTATUS[@]}")
  set -e
  check "$bytes" "line, rot13, wc" "${statuses[@]}"
  seconds[rot13]=$((SECONDS - start)) start=$SECONDS

  set +e
  line "$bytes" | timed vigenere "vigenere -k Lemon" |
    timed vigenere-d "vigenere -d -k Lemon" | wc -c > "$work/count.txt"
  statuses=("${PIPESTATUS[@]}")
  set -e
  check "$bytes" "line, vigenere, vigenere -d, wc" "${statuses[@]}"
  seconds[vigenere]=$((SECONDS - start)) seconds[vigenere-d]=$((SECONDS - start)) start=$SECONDS

  set +e
  line "$bytes" | timed personal "personal --seed 1" | timed personal-d "personal -d" |
    wc -c > "$work/count.txt"
  statuses=("${PIPESTATUS[@]}")
  set -e
  check "$bytes" "line, personal, personal -d, wc" "${statuses[@]}"
  seconds[personal]=$((SECONDS - start)) seconds[personal-d]=$((SECONDS - start))
}

filters=(rot13 vigenere vigenere-d personal personal-d)
declare -A seconds
run_all "$short_bytes"
declare -A short
for name in "${filters[@]}"; do short[$name]=$(peak "$name"); done

run_all "$line_bytes"

echo "peak resident memory (KiB) of each filter on one line of $line_bytes bytes, against one"
echo "line of $short_bytes bytes (at most 1024 KiB more), and the seconds of the huge line's pipeline"
failed=0
for name in "${filters[@]}"; do
  huge=$(peak "$name")
  growth=$((huge - ${short[$name]}))
  verdict=ok
  if [ "$growth" -gt 1024 ]; then
    verdict=FAIL
    failed=1
  fi
  printf '%-12s %6d KiB against %6d KiB: %+6d KiB  %-4s (%d s)\n' "${name/-d/ -d}" "$huge" \
    "${short[$name]}" "$growth" "$verdict" "${seconds[$name]}"
done
if [ "$failed" -ne 0 ]; then
  echo "FAIL: a filter's peak on the huge line exceeds its peak on the short one by more than 1 MiB" >&2
  exit 1
fi
