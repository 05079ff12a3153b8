#!/bin/sh
# Writes to standard output a scripted session of PASSES passes, then "q".
#   make_session.sh PASSES [METHODS]
# METHODS is a string of menu letters used in turn, one per pass (default RVM: R, V and M
# mixed). Every text is 800 characters of letters, digits, blanks and punctuation, shifted by
# one character from pass to pass; every V pass uses the 5-letter key "Lemon".
set -eu

usage() {
  echo "usage: $0 PASSES [METHODS]  (METHODS made of R, V and M; default RVM)" >&2
  exit 2
}

[ $# -ge 1 ] && [ $# -le 2 ] || usage
passes=$1
methods=${2:-RVM}
case $passes in '' | *[!0-9]*) usage ;; esac
case $methods in '' | *[!RVM]*) usage ;; esac

awk -v passes="$passes" -v methods="$methods" 'BEGIN {
  base = "The quick brown fox jumps over the lazy dog; PACK MY BOX WITH FIVE DOZEN LIQUOR JUGS! 0123456789 (~@#$%^&*-+=) "
  while (length(pool) < 800 + length(base)) pool = pool base
  for (p = 0; p < passes; p++) {
    method = substr(methods, p % length(methods) + 1, 1)
    print method
    print substr(pool, p % length(base) + 1, 800)
    if (method == "V") print "Lemon"
  }
  print "q"
}'
