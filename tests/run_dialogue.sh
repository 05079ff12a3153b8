#!/bin/sh
# Usage: run_dialogue.sh PROGRAM CASE [EMULATOR [ARG...]]
# Types CASE.in into PROGRAM (run by EMULATOR, if given) and compares its whole standard output
# with CASE.out, its standard error with CASE.err (empty if absent) and its exit status with
# CASE.status (0 if absent).
# A Windows PROGRAM (NAME.exe) must end every line it writes in CRLF. For it CASE.windows.out,
# .err and .status stand in for the others where they exist, and a case with a file
# CASE.posix-only is skipped (status 77) for the reason that file gives.
program=$1
case=$2
shift 2
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT

out=$case.out
err=$case.err
status_file=$case.status
case $program in
  *.exe)
    if [ -f "$case.posix-only" ]; then
      echo "POSIX only: $(cat "$case.posix-only")"
      exit 77
    fi
    [ -f "$case.windows.out" ] && out=$case.windows.out
    [ -f "$case.windows.err" ] && err=$case.windows.err
    [ -f "$case.windows.status" ] && status_file=$case.windows.status
    # Text mode drops the CR of a CRLF and ends the input at a Ctrl-Z byte.
    if [ "$out" = "$case.out" ] && LC_ALL=C grep -q "$(printf '\r$\\|\032')" "$case.in"; then
      echo "Windows reads $case.in otherwise: it needs a .windows.out or a .posix-only file"
      exit 1
    fi
    sed -z 's/\n/\r\n/g' "$out" >"$work/expected_out"
    out=$work/expected_out
    if [ -f "$err" ]; then
      sed -z 's/\n/\r\n/g' "$err" >"$work/crlf_err"
      err=$work/crlf_err
    fi
    ;;
esac

"$@" "$program" <"$case.in" >"$work/out" 2>"$work/err"
status=$?

expected_status=0
[ -f "$status_file" ] && expected_status=$(cat "$status_file")
[ -f "$err" ] && cp "$err" "$work/expected_err" || : >"$work/expected_err"

failed=0
if ! cmp -s "$out" "$work/out"; then
  echo "standard output differs (- expected, + actual):"
  diff -u "$out" "$work/out" | cat -A | head -n 80
  failed=1
fi
if ! cmp -s "$work/expected_err" "$work/err"; then
  echo "standard error differs (- expected, + actual):"
  diff -u "$work/expected_err" "$work/err"
  failed=1
fi
if [ "$status" != "$expected_status" ]; then
  echo "exit status $status, expected $expected_status"
  failed=1
fi
exit $failed
