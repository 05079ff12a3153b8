#!/bin/sh
# Usage: check_command_line.sh PROGRAM VERSION
# --help and --version write their text and exit 0 without reading the input; any other
# argument, or more than one, is refused on standard error with status 2 and nothing on
# standard output; and a text that cannot be written is no success either.
program=$1
version=$2
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
failed=0

fail() {
  echo "$*"
  failed=1
}

# Runs the program with the given arguments and input "q" (which --help must not read).
run() {
  printf 'q\n' | "$program" "$@" >"$work/out" 2>"$work/err"
  status=$?
}

run --version
[ "$status" = 0 ] && [ "$(cat "$work/out")" = "ciphers $version" ] && [ ! -s "$work/err" ] ||
  fail "--version: status $status, output: $(cat "$work/out" "$work/err")"

run --help
[ "$status" = 0 ] && [ ! -s "$work/err" ] && head -n 1 "$work/out" | grep -q '^Usage: ciphers ' &&
  grep -q 'ciphers(1)' "$work/out" && ! grep -q 'Choose Method' "$work/out" ||
  fail "--help: status $status, output: $(cat "$work/out" "$work/err")"

for arguments in "notes.txt:notes.txt" "-h:-h" "--help extra:extra" "--version --help:--help" \
    "notes.txt --help:notes.txt"; do
  unexpected=${arguments#*:}
  # shellcheck disable=SC2086 # the arguments are split on purpose
  run ${arguments%%:*}
  printf "ciphers: unexpected argument '%s'\nTry 'ciphers --help'.\n" "$unexpected" >"$work/expected"
  [ "$status" = 2 ] && [ ! -s "$work/out" ] && cmp -s "$work/expected" "$work/err" ||
    fail "${arguments%%:*}: status $status, standard error: $(cat "$work/err")"
done

"$program" --help >/dev/full 2>"$work/err"
status=$?
[ "$status" = 1 ] && grep -q '^ciphers: cannot write the output: ' "$work/err" ||
  fail "--help to /dev/full: status $status, standard error: $(cat "$work/err")"
exit $failed
