#!/bin/sh
# Usage: check_solve.sh PROGRAM PROSE [EMULATOR [ARG...]]
# solve names the method that made a text, and writes back exactly what that method's
# decryption gives: random passages of 80 to some 4,000 letters of PROSE (prose the breaker's
# statistics never saw) as they are, and enciphered by the program itself with ROT13, with the
# personal method, and with the Vigenere cipher under random keys of at least 6 letters a key
# letter, where the breaker is sure of its keys. SOLVE_SEED picks other passages.
program=$1
prose=$2
shift 2
. "$(dirname "$0")/check_common.sh"
cd "$work" || exit 1
seed=${SOLVE_SEED:-2026}

# Writes passage.N and, in keys, "N KEY" for each passage: a key of 1 to letters / 6 letters
# (at most 40) that is no repetition of a shorter one, nor A or N, which are no cipher and
# ROT13.
awk -v seed="$seed" -v passages=24 '
  { text = text $0 "\n" }
  END {
    srand(seed)
    for (i = 1; i <= length(text); i++) {
      if (substr(text, i, 1) ~ /[A-Za-z]/) {
        at[++letters] = i
      }
    }
    for (n = 1; n <= passages; n++) {
      count = n % 4 == 1 ? 80 : 80 + int(rand() * rand() * 4000)
      first = 1 + int(rand() * (letters - count))
      printf "%s", substr(text, at[first], at[first + count - 1] - at[first] + 1) >("passage." n)
      longest = int(count / 6) < 40 ? int(count / 6) : 40
      do {
        key = ""
        size = 1 + int(rand() * longest)
        for (k = 0; k < size; k++) {
          key = key substr("ABCDEFGHIJKLMNOPQRSTUVWXYZ", 1 + int(rand() * 26), 1)
        }
      } while (key == "A" || key == "N" || repeats(key))
      print n, key >"keys"
    }
  }
  function repeats(key,   p, copy) {
    for (p = 1; p < length(key); p++) {
      if (length(key) % p == 0) {
        copy = ""
        while (length(copy) < length(key)) copy = copy substr(key, 1, p)
        if (copy == key) return 1
      }
    }
    return 0
  }' "$prose" || exit 1

# check NAME REPORT PLAINTEXT: the last solve, of the file $cipher, had to end with status 0,
# name the method as REPORT on standard error (without CRs, which Windows writes there) and write
# exactly the file PLAINTEXT.
check() {
  tr -d '\r' <err.raw >err
  [ "$status" = 0 ] && [ "$(cat err)" = "solve: $2" ] && cmp -s "$3" out ||
    fail "$1 of passage $n (seed $seed): status $status, standard error: $(cat err), output: $(head -c 80 out)"
}

while read -r n key; do
  plain=passage.$n
  "$@" "$program" solve "$plain" >out 2>err.raw
  status=$?
  check none none "$plain"
  for method in rot13 personal "vigenere -k $key"; do
    cipher=$(echo "$method" | cut -d' ' -f1).$n
    # shellcheck disable=SC2086  # the method's words
    "$@" "$program" $method "$plain" >"$cipher"
    "$@" "$program" solve "$cipher" >out 2>err.raw
    status=$?
    case $method in
      vigenere*)
        tr 'a-z' 'A-Z' <"$plain" >upper
        check "$method" "vigenere, key $key" upper
        ;;
      *) check "$method" "$method" "$plain" ;;
    esac
  done
done <keys

# --json names the same in one line, and writes nothing else.
read -r n key <keys
for method in rot13 personal vigenere; do
  "$@" "$program" solve --json "$method.1" >out 2>err || fail "solve --json $method: status $?"
  case $method in vigenere) wanted="\"$key\"" ;; *) wanted=null ;; esac
  grep -q "^{\"method\":\"$method\",\"key\":$wanted,\"fit\":[0-9.]*}\$" out && [ ! -s err ] &&
    [ "$(wc -l <out)" = 1 ] || fail "solve --json $method: $(cat out) $(cat err)"
done
exit $failed
