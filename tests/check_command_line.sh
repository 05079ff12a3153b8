#!/bin/sh
# Usage: check_command_line.sh PROGRAM VERSION
# --help and --version, also a method's --help, write their text and exit 0 without reading the
# input; an unknown method or option, a missing or bad key, a bad seed, or a further argument
# after --help or --version is refused on standard error, with a hint at the help, status 2 and
# nothing on standard output; and a text that cannot be written is no success either.
program=$1
version=$2
. "$(dirname "$0")/check_common.sh"

# Runs the program with the given arguments and input "q" (which --help must not read), in a
# session of its own, without a controlling terminal: there a missing key is never asked for.
run() {
  printf 'q\n' | setsid -w "$program" "$@" >"$work/out" 2>"$work/err"
  status=$?
}

run --version
[ "$status" = 0 ] && [ "$(head -n 1 "$work/out")" = "ciphers $version" ] && [ ! -s "$work/err" ] &&
  [ "$(wc -l <"$work/out")" = 2 ] &&
  grep -Eq '^kernels: ([a-z0-9]+) \(available: portable( [a-z0-9]+)*\)$' "$work/out" ||
  fail "--version: status $status, output: $(cat "$work/out" "$work/err")"

# CIPHERS_KERNEL forces each set that the processor runs; any other value is refused in one line.
available=$(sed -n 's/^kernels: .* (available: \(.*\))$/\1/p' "$work/out")
for set in $available; do
  CIPHERS_KERNEL=$set "$program" --version >"$work/out" 2>"$work/err"
  grep -q "^kernels: $set (available: $available)\$" "$work/out" ||
    fail "CIPHERS_KERNEL=$set: $(cat "$work/out" "$work/err")"
done
for set in avx9000 PORTABLE avx2 avx512; do
  case " $available " in *" $set "*) continue ;; esac
  printf 'abc\n' | CIPHERS_KERNEL=$set "$program" rot13 >"$work/out" 2>"$work/err"
  status=$?
  [ "$status" = 2 ] && [ ! -s "$work/out" ] && [ "$(wc -l <"$work/err")" = 1 ] &&
    grep -q "^ciphers: CIPHERS_KERNEL=$set: .*; it runs: $available\$" "$work/err" ||
    fail "CIPHERS_KERNEL=$set: status $status, standard error: $(cat "$work/err")"
done

run --help
[ "$status" = 0 ] && [ ! -s "$work/err" ] && head -n 1 "$work/out" | grep -q '^Usage: ciphers ' &&
  grep -q 'ciphers(1)' "$work/out" && ! grep -q 'Choose Method' "$work/out" ||
  fail "--help: status $status, output: $(cat "$work/out" "$work/err")"

for method in rot13 vigenere personal solve; do
  run "$method" --help
  [ "$status" = 0 ] && [ ! -s "$work/err" ] && head -n 1 "$work/out" | grep -q "^Usage: ciphers $method" ||
    fail "$method --help: status $status, output: $(cat "$work/out" "$work/err")"
done

# Each case: the arguments, split at blanks; the first line of standard error; the command whose
# help the second line points to.
while IFS='|' read -r arguments message command; do
  # shellcheck disable=SC2086 # the arguments are split on purpose
  run $arguments
  printf "ciphers: %s\nTry '%s --help'.\n" "$message" "$command" >"$work/expected"
  [ "$status" = 2 ] && [ ! -s "$work/out" ] && cmp -s "$work/expected" "$work/err" ||
    fail "$arguments: status $status, standard error: $(cat "$work/err")"
done <<'EOF'
notes.txt|unknown method 'notes.txt'|ciphers
notes.txt --help|unknown method 'notes.txt'|ciphers
-h|unknown option '-h'|ciphers
--help=x|option '--help' takes no value|ciphers
--help extra|unexpected argument 'extra'|ciphers
--version --help|unexpected argument '--help'|ciphers
rot13 --bogus|unknown option '--bogus'|ciphers rot13
rot13 -x -|unknown option '-x'|ciphers rot13
vigenere|no key: give -k KEY or --key-file FILE|ciphers vigenere
vigenere -d --key-file=k -k ab|-k and --key-file both give the key: give one of them|ciphers vigenere
vigenere --key-file -|the key file and the text cannot both be standard input|ciphers vigenere
vigenere -k|option '-k' needs a value|ciphers vigenere
vigenere --key=|the key is empty: it must be one or more of the letters A-Z and a-z|ciphers vigenere
vigenere -d -k ab1|the key 'ab1' holds a character other than the letters A-Z and a-z|ciphers vigenere
personal --seed 4294967296|the seed must be a whole number from 0 to 4294967295, not '4294967296'|ciphers personal
personal --seed -1|the seed must be a whole number from 0 to 4294967295, not '-1'|ciphers personal
personal --seed=|the seed must be a whole number from 0 to 4294967295, not ''|ciphers personal
personal --decrypt=yes|option '--decrypt' takes no value|ciphers personal
EOF

"$program" --help >/dev/full 2>"$work/err"
status=$?
[ "$status" = 1 ] && grep -q '^ciphers: cannot write the output: ' "$work/err" ||
  fail "--help to /dev/full: status $status, standard error: $(cat "$work/err")"
exit $failed
