#!/bin/sh
# Peak memory of a huge key: the peak resident memory of a session whose Vigenere key is one word
# of 1,000,000,000 letters, next to that of the same session with a 5-letter key. The key is
# streamed from a generator into the program's standard input, never stored on disk. The session
# is "v", "attack at dawn", the key, then "r", "Hello", "q": it must end with status 0 and show
# the Vigenere report and then the ROT13 report of Hello. Fails when the huge key's peak exceeds
# the ordinary peak by more than 1 MiB (1024 KiB).
#   peak_memory.sh PATH/TO/ciphers
# The environment may set KEY_BYTES, the key's length (default 1000000000).
# Needs GNU time (/usr/bin/time, Debian package "time").
set -eu

[ $# -eq 1 ] || { echo "usage: $0 PATH/TO/ciphers" >&2; exit 2; }
program=$1
key_bytes=${KEY_BYTES:-1000000000}
case $key_bytes in '' | *[!0-9]* | 0) echo "$0: KEY_BYTES must be a positive number" >&2; exit 2 ;; esac
[ -x "$program" ] || { echo "$0: $program is not an executable" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "$0: needs GNU time as /usr/bin/time (apt-get install time)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Writes $1 letters "k" with no line end, in 64 KiB pieces: fast enough (GB/s) that the program
# reading them, not the generator, sets the pace.
key_letters() {
  awk -v n="$1" 'BEGIN {
    piece = "k"
    while (length(piece) < 65536) piece = piece piece
    for (left = n; left >= 65536; left -= 65536) printf "%s", piece
    printf "%s", substr(piece, 1, left)
  }'
}

# Runs the session with a key of $1 letters; sets peak (KiB) and seconds. With a key of k's,
# ATTACK AT DAWN enciphers to KDDKMU KD NKGX.
measure() {
  if ! { printf 'v\nattack at dawn\n'; key_letters "$1"; printf '\nr\nHello\nq\n'; } |
      /usr/bin/time -f '%M %e' -o "$work/time.txt" "$program" > "$work/session.out"; then
    echo "FAIL: the session with a key of $1 letters did not end with status 0" >&2
    exit 1
  fi
  if ! awk '$0 == "Ciphertext:     KDDKMU KD NKGX" && !vigenere { vigenere = NR }
      $0 == "Ciphertext:     Uryyb" && vigenere { rot13 = NR }
      END { exit !rot13 }' "$work/session.out"; then
    echo "FAIL: with a key of $1 letters, the output lacks the Vigenere report or the ROT13" >&2
    echo "report of Hello after it" >&2
    exit 1
  fi
  read -r peak seconds < "$work/time.txt"
}

measure 5
ordinary=$peak
echo "ordinary session (5-letter key): peak resident memory $ordinary KiB"

measure "$key_bytes"
huge=$peak
awk -v n="$key_bytes" -v kib="$huge" -v s="$seconds" 'BEGIN {
  rate = s > 0 ? sprintf("%.0f MB/s", n / s / 1e6) : "too quick to time"
  printf "session with a %d-letter key: peak resident memory %d KiB, %.2f s (%s)\n", n, kib, s, rate
}'

growth=$((huge - ordinary))
if [ "$growth" -gt 1024 ]; then
  echo "FAIL: the $key_bytes-letter key's peak exceeds the ordinary one by $growth KiB (at most 1024)" >&2
  exit 1
fi
echo "difference: $growth KiB (at most 1024)"
