#!/bin/bash
# Usage: check_completion.sh COMPLETION_FILE PROGRAM
# Sources the bash completion for ciphers and completes command lines as bash would split them:
# the methods, each method's options, nothing after a key or a seed, and file names (after
# --key-file too). Each
# method's options must be the long options its --help names, so that the two cannot drift.
set -uo pipefail
completion=$1
program=$2
failed=0

fail() {
  echo "$*"
  failed=1
}

# shellcheck source=/dev/null
source "$completion" || { echo "cannot source $completion"; exit 1; }
[[ $(complete -p ciphers 2>/dev/null) == "complete -F _ciphers ciphers" ]] ||
  fail "the completion file does not register _ciphers for ciphers"

# Completes the words given, the last one being the word under the cursor; prints the sorted
# candidates on one line.
candidates() {
  COMP_WORDS=(ciphers "$@")
  COMP_CWORD=$#
  COMP_LINE="ciphers $*"
  COMP_POINT=${#COMP_LINE}
  _ciphers
  printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' '
}

expect() {
  local wanted=$1 got
  shift
  got=$(candidates "$@")
  [[ $got == "$wanted" ]] || fail "ciphers $*<TAB>: '$got', expected '$wanted'"
}

# The long options that PROGRAM METHOD --help names, sorted, on one line each.
declare -A help_options
for method in rot13 vigenere personal solve; do
  help_options[$method]=$("$program" "$method" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u |
    paste -sd ' ')
  [[ -n ${help_options[$method]} ]] || fail "'$program $method --help' names no long option"
done

work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
touch notes.txt notes.md
mkdir letters

expect "personal rot13 solve vigenere" ""
expect "personal" p
expect "--help --version" --
expect "" --version ""
for method in rot13 vigenere personal solve; do
  expect "${help_options[$method]}" "$method" -
done
expect "" vigenere -k ""
expect "" vigenere --key le
expect "" vigenere --key = le
expect "" personal -d --seed = ""
expect "letters notes.md notes.txt" vigenere -k lemon ""
expect "notes.md notes.txt" vigenere --key-file no
expect "notes.md notes.txt" personal -d no
touch -- -d
expect "-d" rot13 -- -
exit $failed
