#!/bin/bash
# Usage: check_key_file.sh PROGRAM
# vigenere --key-file: the key is the file's one line, LF or CR LF, and gives the bytes that -k
# gives. A further line, an empty or non-letter line and a file that cannot be read are refused
# with status 2 and one line naming the file, which never quotes the key; "-" is the key only when
# every text comes from a FILE. The key file's key is never on the command line.
program=$1
. "$(dirname "$0")/check_common.sh"
cd "$work" || exit 1

printf 'Attack at dawn!\nMeet me by the old oak tree.\n' >text
"$program" vigenere -k LeMon text >by_argument || fail "-k: status $?"

# Each case: the key file's bytes (printf format), the arguments after the key file, the status,
# and standard error with FILE for the key file's name.
while IFS='|' read -r bytes arguments status error; do
  printf "$bytes" >key
  # shellcheck disable=SC2086 # the arguments are split on purpose
  "$program" vigenere --key-file key $arguments <text >out 2>err
  got=$?
  expected=${error//FILE/key}
  [ "$got" = "$status" ] && [ "$(cat err)" = "$expected" ] ||
    fail "key file '$bytes' $arguments: status $got, standard error: $(cat err)"
  if [ "$status" = 0 ]; then
    cmp -s out by_argument || fail "key file '$bytes': output differs from -k's"
  else
    [ ! -s out ] || fail "key file '$bytes': output on a refusal"
  fi
done <<'TABLE'
LeMon\n|text|0|
LeMon\r\n|text|0|
LeMon|text|0|
LeMon||0|
LeMon\nsecond\n|text|2|ciphers: FILE: the key file must hold one line
LeMon\n\n|text|2|ciphers: FILE: the key file must hold one line
\n|text|2|ciphers: FILE: the key is empty: it must be one or more of the letters A-Z and a-z
|text|2|ciphers: FILE: the key is empty: it must be one or more of the letters A-Z and a-z
Le Mon\n|text|2|ciphers: FILE: the key holds a character other than the letters A-Z and a-z
LeMon\r|text|2|ciphers: FILE: the key holds a character other than the letters A-Z and a-z
TABLE

check_refusal() {  # ERROR, after a run with standard error in err
  [ "$status" = 2 ] && [ "$(cat err)" = "$1" ] && [ ! -s out ] ||
    fail "$1: status $status, standard error: $(cat err)"
}
"$program" vigenere --key-file missing text >out 2>err
status=$?
check_refusal 'ciphers: missing: No such file or directory'
"$program" vigenere --key-file /dev/zero text >out 2>err
status=$?
check_refusal 'ciphers: /dev/zero: the key holds a character other than the letters A-Z and a-z'

# Standard input holds the key when the texts come from files, deciphering included.
printf 'LeMon\n' | "$program" vigenere --key-file - text >out 2>err &&
  cmp -s out by_argument || fail "--key-file - with a FILE: $(cat err)"
printf 'LeMon\n' | "$program" vigenere -d --key-file - by_argument >out 2>err &&
  cmp -s out <(tr a-z A-Z <text) || fail "--key-file - -d: $(cat err)"

# While the program waits for its text, its command line shows the key file, not the key.
printf 'LeMon\n' >key
mkfifo pipe
"$program" vigenere --key-file key <pipe >/dev/null &
pid=$!
exec 3>pipe
sleep 0.2
tr '\0' ' ' <"/proc/$pid/cmdline" >cmdline
exec 3>&-
wait "$pid"
grep -q -- '--key-file key' cmdline && ! grep -qi lemon cmdline ||
  fail "the command line while running: $(cat cmdline)"
exit $failed
