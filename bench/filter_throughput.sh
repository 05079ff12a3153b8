#!/bin/bash
# Filter throughput: the filters on 256 MiB of English-like text, through pipes, against cat.
# Every run reads a file through a pipe and writes into a pipe: cat FILE | X | wc -c. For each of
# rot13, vigenere, vigenere -d, personal and personal -d, X is the filter, then cat moving the
# same number of bytes as the larger of the filter's input and output (the text, or for the
# personal method its digit strings), in alternating pairs. Prints the median CPU time (user +
# sys) of each, and the median and range of the pairs' ratios, filter over cat; the ratio of the
# elapsed times besides. For rot13 each pair also runs tr 'A-Za-z' 'N-ZA-Mn-za-m', and the script
# prints the filter's ratio to it. Every kernel set that the processor runs (ciphers --version)
# is measured in turn, forced with CIPHERS_KERNEL. Goals printed beside: under avx2, rot13 and
# vigenere (both ways) at most 1.0 of cat, rot13 ahead of tr, personal at most 1.5 both ways;
# under avx512, no slower than the figures of 1.0.0's first build (rot13 1.17, vigenere 1.18 and
# 1.10, personal 2.12 and 1.56); portable's are reported only. It never fails on the figures,
# which depend on the machine; it fails only when something does not run.
#   filter_throughput.sh PATH/TO/ciphers
# The environment may set MIB, the text's size in MiB (default 256), and PAIRS (default 5): the
# pairs of the personal method. rot13 and vigenere, whose runs take a fraction of a second and
# vary more from run to run, run twice as many pairs and one more.
# The text is the same on every run: words drawn by a fixed generator, with capitals, commas,
# full stops, question and exclamation marks, lines of at most 72 columns and paragraphs.
if [ -z "${BASH_VERSION:-}" ]; then exec bash "$0" "$@"; fi
set -euo pipefail

usage() {
  echo "usage: $0 PATH/TO/ciphers" >&2
  exit 2
}

[ $# -eq 1 ] || usage
program=$1
mib=${MIB:-256}
pairs=${PAIRS:-5}
case $mib in '' | *[!0-9]* | 0) echo "$0: MIB must be a positive number" >&2; exit 2 ;; esac
case $pairs in '' | *[!0-9]* | 0) echo "$0: PAIRS must be a positive number" >&2; exit 2 ;; esac
[ -x "$program" ] || { echo "$0: $program is not an executable" >&2; exit 2; }
key=Lemon
seed=1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Writes at least $1 bytes of English-like text. A Park-Miller generator, exact in any awk's
# double arithmetic, makes it the same on every run and with every awk.
english() {
  awk -v n="$1" '
    function draw() { seed = (seed * 16807) % 2147483647; return seed / 2147483647 }
    BEGIN {
      count = split("the of and to a in is it that was he for on are as with his they I at be " \
        "this have from or one had by word but not what all were we when your can said there " \
        "use an each which she do how their if will up other about out many then them these so " \
        "some her would make like him into time has look two more write go see number no way " \
        "could people my than first water been call who oil its now find long down day did get " \
        "come made may part over new sound take only little work know place year live me back " \
        "give most very after thing our just name good sentence man think say great where help " \
        "through much before line right too mean old any same tell boy follow came want show " \
        "also around form three small set put end does another well large must big even such " \
        "because turn here why ask went men read need land different home us move try kind " \
        "hand picture again change off play spell air away animal house point page letter " \
        "mother answer found study still learn should America world London Mary Paris don\047t " \
        "it\047s 1848 12 300 Vigenere", words, " ")
      split(". . . . ? !", stops, " ")
      seed = 20261208
      while (written < n) {
        sentences = 3 + int(6 * draw())
        for (s = 0; s < sentences; s++) {
          length_in_words = 4 + int(15 * draw())
          for (w = 1; w <= length_in_words; w++) {
            u = draw()
            token = words[int(count * u * u) + 1]  # the first words are the most frequent
            if (w == 1) token = toupper(substr(token, 1, 1)) substr(token, 2)
            if (w == length_in_words) token = token stops[1 + int(6 * draw())]
            else if (draw() < 0.06) token = token ","
            if (column > 0 && column + 1 + length(token) > 72) { out = out "\n"; column = 0 }
            else if (column > 0) { out = out " "; column++ }
            out = out token
            column += length(token)
          }
        }
        out = out "\n\n"
        column = 0
        if (length(out) >= 65536) { printf "%s", out; written += length(out); out = "" }
      }
      printf "%s", out
    }'
}

# The text: a block of 4 MiB (its last byte a line end) written as often as $mib MiB take, the
# last time cut short and given a line end. Files and no pipes, so that no writer is cut off.
make_text() {
  local block=$((4 * 1024 * 1024)) bytes=$((mib * 1024 * 1024)) i
  english "$block" > "$work/english.txt"
  head -c $((block - 1)) "$work/english.txt" > "$work/block.txt"
  printf '\n' >> "$work/block.txt"
  rm -f "$work/english.txt"
  for ((i = 0; i < bytes / block; i++)); do cat "$work/block.txt"; done > "$work/text.txt"
  if ((bytes % block > 0)); then
    head -c $((bytes % block - 1)) "$work/block.txt" >> "$work/text.txt"
    printf '\n' >> "$work/text.txt"
  fi
  rm -f "$work/block.txt"
}

# Runs cat $1 | $3... | wc -c and checks that the middle command ended with status 0 and wrote
# $2 bytes; sets cpu (user + sys) and wall to the middle command's seconds.
timed() {
  local input=$1 expected=$2 TIMEFORMAT='%3R %3U %3S'
  shift 2
  # shellcheck disable=SC2002 # the input comes through a pipe, as it does for cat
  if ! cat "$input" | { time "$@" 2> "$work/stderr.txt"; } 2> "$work/time.txt" |
      wc -c > "$work/count.txt"; then
    echo "FAIL: cat $input | $* | wc -c did not end with status 0" >&2
    cat "$work/stderr.txt" >&2
    exit 1
  fi
  local count
  count=$(cat "$work/count.txt")
  if [ "$count" -ne "$expected" ]; then
    echo "FAIL: $* wrote $count bytes, not $expected" >&2
    cat "$work/stderr.txt" >&2
    exit 1
  fi
  read -r wall cpu < <(awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' "$work/time.txt")
}

# Prints the median of its arguments.
median() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
    END { printf "%.3f\n", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Prints the lowest and highest of its arguments.
range() {
  printf '%s\n' "$@" | sort -g | awk 'NR == 1 { low = $1 } { high = $1 }
    END { printf "%.2f to %.2f\n", low, high }'
}

# Prints $1 / $2 to four places.
ratio() {
  awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f\n", (b > 0 ? a / b : 0) }'
}

# Prints whether $1 <= $2 (or, with a third argument "below", $1 < $2); with no goal $2 (-),
# that the figure is reported only.
verdict() {
  if [ "$2" = - ]; then echo "reported"; return; fi
  awk -v r="$1" -v g="$2" -v strict="${3:-}" \
    'BEGIN { print ((strict ? r < g : r <= g) ? "met" : "NOT met") }'
}

# The goal of filter $2 under kernel set $1, as a ratio to cat; - for none.
goal() {
  case $1:$2 in
    avx2:rot13 | avx2:vigenere*) echo 1.0 ;;
    avx2:personal*) echo 1.5 ;;
    avx512:rot13) echo 1.17 ;;
    avx512:vigenere) echo 1.18 ;;
    avx512:vigenere-d) echo 1.10 ;;
    avx512:personal) echo 2.12 ;;
    avx512:personal-d) echo 1.56 ;;
    *) echo - ;;
  esac
}

size() {
  wc -c < "$1" | tr -d ' '
}

# Measures method $1 ($2: its arguments) reading file $3 and writing $4 bytes, against cat of
# file $5, in $8 alternating pairs, and prints one line with the goal $6; with $7 = tr it also
# times tr in each pair and prints the ratio to it.
measure() {
  local name=$1 input=$3 output_bytes=$4 baseline=$5 goal=$6 with_tr=$7 count=$8
  local -a arguments filters=() cats=() trs=() ratios=() walls=() tr_ratios=()
  read -r -a arguments <<< "$2"
  local baseline_bytes
  baseline_bytes=$(size "$baseline")
  for ((pair = 1; pair <= count; pair++)); do
    timed "$input" "$output_bytes" "$program" "${arguments[@]}"
    local filter_cpu=$cpu filter_wall=$wall
    timed "$baseline" "$baseline_bytes" cat
    filters+=("$filter_cpu") cats+=("$cpu")
    ratios+=("$(ratio "$filter_cpu" "$cpu")") walls+=("$(ratio "$filter_wall" "$wall")")
    if [ -n "$with_tr" ]; then
      timed "$input" "$output_bytes" tr 'A-Za-z' 'N-ZA-Mn-za-m'
      trs+=("$cpu") tr_ratios+=("$(ratio "$filter_cpu" "$cpu")")
    fi
  done
  local r
  r=$(median "${ratios[@]}")
  local bar="goal <= $goal"
  [ "$goal" != - ] || bar="no goal"
  printf '%-12s %4d -> %4d MiB  %6.3f s, cat %6.3f s: %.2f of cat (%d pairs: %s; elapsed %.2f)  %s: %s\n' \
    "$name" $(($(size "$input") >> 20)) $((output_bytes >> 20)) "$(median "${filters[@]}")" \
    "$(median "${cats[@]}")" "$r" "$count" "$(range "${ratios[@]}")" "$(median "${walls[@]}")" \
    "$bar" "$(verdict "$r" "$goal")"
  if [ -n "$with_tr" ]; then
    r=$(median "${tr_ratios[@]}")
    printf '%-12s tr %6.3f s: %.2f of tr (pairs: %s)  goal < 1, ahead of tr: %s\n' "" \
      "$(median "${trs[@]}")" "$r" "$(range "${tr_ratios[@]}")" "$(verdict "$r" 1 below)"
  fi
}

make_text
text_bytes=$(size "$work/text.txt")
if ! "$program" vigenere -k "$key" < "$work/text.txt" > "$work/vigenere.txt" ||
    ! "$program" personal --seed "$seed" < "$work/text.txt" > "$work/digits.txt"; then
  echo "FAIL: $program did not encrypt the text" >&2
  exit 1
fi
digit_bytes=$(size "$work/digits.txt")

echo "filter throughput: $mib MiB of English-like text, cat FILE | FILTER | wc -c; CPU time"
echo "(user + sys) of the filter over that of cat moving the larger of its input and output;"
echo "medians of alternating pairs; under each kernel set that the processor runs"
many=$((2 * pairs + 1))
sets=$("$program" --version | sed -n 's/^kernels: .* (available: \(.*\))$/\1/p')
[ -n "$sets" ] || { echo "FAIL: $program --version names no kernel sets" >&2; exit 1; }
for set in $sets; do
  export CIPHERS_KERNEL=$set
  echo "kernel set $set:"
  measure rot13 rot13 "$work/text.txt" "$text_bytes" "$work/text.txt" "$(goal "$set" rot13)" tr \
    "$many"
  measure vigenere "vigenere -k $key" "$work/text.txt" "$text_bytes" "$work/text.txt" \
    "$(goal "$set" vigenere)" "" "$many"
  measure "vigenere -d" "vigenere -d -k $key" "$work/vigenere.txt" "$text_bytes" \
    "$work/vigenere.txt" "$(goal "$set" vigenere-d)" "" "$many"
  measure personal "personal --seed $seed" "$work/text.txt" "$digit_bytes" "$work/digits.txt" \
    "$(goal "$set" personal)" "" "$pairs"
  measure "personal -d" "personal -d" "$work/digits.txt" "$text_bytes" "$work/digits.txt" \
    "$(goal "$set" personal-d)" "" "$pairs"
done
