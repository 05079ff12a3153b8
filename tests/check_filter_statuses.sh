#!/bin/bash
# Usage: check_filter_statuses.sh PROGRAM
# How the filters end: a FILE that cannot be read is reported by name and the next one is still
# read, with status 1 at the end; a bad key or an unknown option is refused with status 2 and
# nothing on standard output; a line that is no digit string stops the decryption at FILE:LINE
# with status 1, keeping what came before it (of the refused line, what came before the fault: a
# line may be longer than memory), in the file that holds the fault; a file that is also the
# output is not read; output that cannot be written ends with status 1 and a message, quietly
# where the reader has gone.
program=$1
. "$(dirname "$0")/check_common.sh"
cd "$work" || exit 1

# Runs the program with the given arguments, standard input from the file "in".
run() {
  "$program" "$@" <in >out 2>err
  status=$?
}

expect() {  # STATUS OUTPUT ERROR: what the last run had to give
  [ "$status" = "$1" ] && [ "$(cat out)" = "$2" ] && [ "$(cat err)" = "$3" ] ||
    fail "$arguments: status $status, output: $(cat out), standard error: $(cat err)"
}

printf 'Attack at dawn!\n' >first
printf 'Meet me by the old oak tree.\n' >in
mkdir folder

arguments='a missing file and a folder among good ones, and standard input'
run vigenere -k secret first missing folder -
expect 1 "$(printf 'SXVRGD SX FRAG!\nEIGK QX TC VYI HDH QRO MJIG.')" \
  "$(printf 'ciphers: missing: No such file or directory\nciphers: folder: Is a directory')"

arguments='a folder as standard input'
"$program" rot13 <folder >out 2>err
status=$?
expect 1 '' 'ciphers: -: Is a directory'

arguments='a bad key'
run vigenere --key 's3cret' first
expect 2 '' "$(printf "ciphers: the key 's3cret' holds a character other than the letters A-Z and a-z\nTry 'ciphers vigenere --help'.")"

arguments='an unknown option'
run personal --sead 1 first
expect 2 '' "$(printf "ciphers: unknown option '--sead'\nTry 'ciphers personal --help'.")"

arguments='a refused line'
printf '4731448460253\n47\n4731448460253x\n98910297092\n' >digits
run personal -d digits first
expect 1 "$(printf 'abc\n\nabc')" "ciphers: digits:3: not a digit string of the personal method"
run personal -d first
expect 1 '' "ciphers: first:1: not a digit string of the personal method"
printf '47314' >in
run personal -d
expect 1 '' "ciphers: -:1: not a digit string of the personal method"

# Runs that must give exactly the status, the output (a printf format) and the standard error.
# Each row: STATUS OUTPUT ERROR COMMAND..., run in $work.
row() {
  wanted_status=$1 wanted_out=$2 wanted_err=$3
  shift 3
  "$@" >out 2>err
  status=$?
  printf "$wanted_out" >wanted
  [ "$status" = "$wanted_status" ] && cmp -s wanted out && [ "$(cat err)" = "$wanted_err" ] ||
    fail "$*: status $status, output: $(od -c out | head -3), standard error: $(cat err)"
}
refused() { echo "ciphers: $1: not a digit string of the personal method"; }
same() { echo "ciphers: $1: input file is output file"; }

# A file that is also the output is not read, else it would grow without end; the other FILEs
# are. A device or a pipe may be both.
printf 'hello\n' >f
row 1 '' "$(same f)" sh -c '"$0" rot13 f >>f' "$program"
row 0 'hello\n' '' cat f
row 1 '' "$(printf '%s\n%s' "$(same -)" "$(same f)")" sh -c '"$0" rot13 - first f <f >>f' "$program"
row 0 'hello\nNggnpx ng qnja!\n' '' cat f
row 0 '' '' sh -c '"$0" rot13 </dev/null >/dev/null' "$program"
# A line cut at the end of a file is blamed on the file that holds it, or left to a read error.
printf 989 >d2
printf '98910297092\n989' >d5
: >empty
row 1 '' "$(refused d2:1)" "$program" personal -d d2 /dev/null
row 1 'abc\n' "$(refused d5:2)" "$program" personal -d d5 empty
row 1 '' 'ciphers: folder: Is a directory' "$program" personal -d d2 folder
# A last line of a start value alone is never written: the input was cut.
row 1 'abc\n' "$(refused -:2)" sh -c 'printf "98910297092\n98" | "$0" personal -d' "$program"
row 1 '' "$(refused -:1)" sh -c 'printf 98 | "$0" personal -d' "$program"
row 0 '\n' '' sh -c 'printf "98\n" | "$0" personal -d' "$program"
# solve: a text that no method fits (nothing, random bytes, neither letters nor digits) ends
# with status 1 and one message; damaged digit lines are named as personal -d names them, in
# the head that solve decides on and after it.
nofit='solve: no method of ciphers fits this text'
head -c 100000 /dev/urandom >random
row 1 '' "$nofit" "$program" solve random
row 1 '' "$nofit" "$program" solve empty
row 1 '' "$nofit" sh -c 'printf "*** ?! --\n" | "$0" solve' "$program"
row 1 '' "$(printf '%s\n%s' "$(same random)" "$nofit")" sh -c '"$0" solve random >>random' "$program"
row 1 'abc\n\nabc' "$(printf 'solve: personal\n%s' "$(refused digits:3)")" "$program" solve digits
row 1 'abc\n' "$(printf 'solve: personal\n%s' "$(refused -:2)")" sh -c 'printf "98910297092\n98" | "$0" solve' "$program"
row 2 '' "$(printf "ciphers: unknown option '-d'\nTry 'ciphers solve --help'.")" "$program" solve -d digits

# A read error in the middle of a line: the error alone, not a refusal of the cut line.
head -c 1000000 /dev/zero | tr '\0' 'e' | fold -w 1000 | "$program" personal --seed 3 >big.dig
{ cat big.dig && echo; } >lines.dig
printf '98910297092\n47x\n' >bad.dig
"$program" solve lines.dig bad.dig >out 2>err
status=$?
{ "$program" personal -d lines.dig && printf 'abc\n'; } | cmp -s - out && [ "$status" = 1 ] &&
  [ "$(cat err)" = "$(printf 'solve: personal\n%s' "$(refused bad.dig:2)")" ] ||
  fail "solve: a damaged line after the head: status $status, standard error: $(cat err)"
if strace -o /dev/null true 2>/dev/null; then
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
    strace -o /dev/null -P "$PWD/big.dig" -e trace=read -e inject=read:error=EIO:when=3 \
    "$program" personal -d big.dig >out 2>err
  status=$?
  [ "$status" = 1 ] && [ "$(cat err)" = 'ciphers: big.dig: Input/output error' ] ||
    fail "a read error inside a line: status $status, standard error: $(cat err)"
else
  echo "a read error inside a line: skipped, strace cannot run here"
fi

# Statuses: a missing FILE among good ones is 1 for every method; output that fails stops the
# run at once, with one message; a bad seed is 2; an option after a FILE is still an option.
"$program" personal --seed 1 first >first.dig
for method in rot13 'rot13 -d' 'vigenere -k lemon' 'vigenere -d -k lemon' 'personal' \
  'personal -d' 'vigenere --crack' 'vigenere --crack -d' solve; do
  good=first
  [ "$method" = 'personal -d' ] && good=first.dig
  [ "$method" = solve ] && good=in
  # shellcheck disable=SC2086  # the method's words
  "$program" $method "$good" missing "$good" >/dev/null 2>err
  status=$?
  [ "$status" = 1 ] && grep -q '^ciphers: missing: No such file or directory$' err ||
    fail "$method with a missing FILE: status $status, standard error: $(cat err)"
  # shellcheck disable=SC2086
  "$program" $method "$good" "$good" >/dev/full 2>err
  status=$?
  [ "$status" = 1 ] && [ "$(grep -c '^ciphers: cannot write the output: No space' err)" = 1 ] ||
    fail "$method to a full disk: status $status, standard error: $(cat err)"
done
for seed in 7x -1 4294967296 ''; do
  row 2 '' "$(printf "ciphers: the seed must be a whole number from 0 to 4294967295, not '%s'\nTry 'ciphers personal --help'." "$seed")" \
    "$program" personal --seed "$seed" first
done
row 0 'Nggnpx ng qnja!\n' '' "$program" rot13 first -d
row 0 'LXFOPV EF RNHR!\n' '' "$program" vigenere first -k lemon
row 0 "$("$program" personal --seed 9 first)\n" '' "$program" personal first --seed 9

arguments='a full disk'
"$program" rot13 first >/dev/full 2>err
status=$?
[ "$status" = 1 ] && [ "$(cat err)" = 'ciphers: cannot write the output: No space left on device' ] ||
  fail "$arguments: status $status, standard error: $(cat err)"

# Enough input that the program is still writing when the reader has gone.
head -c 20000000 /dev/zero >zeros
for sigpipe in default ignored; do
  (
    [ "$sigpipe" = ignored ] && trap '' PIPE
    "$program" personal zeros 2>err | head -c 10 >/dev/null
    echo "${PIPESTATUS[0]}" >status
  )
  status=$(cat status)
  [ "$status" != 0 ] && [ ! -s err ] ||
    fail "closed pipe, SIGPIPE $sigpipe: status $status, standard error: $(cat err)"
done
exit $failed
