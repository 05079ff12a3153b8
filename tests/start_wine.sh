#!/bin/sh
# Usage: start_wine.sh WINESERVER WINE
# Makes the wine prefix $WINEPREFIX, or brings it up to date, and starts its server and services
# for good, so that the tests need not wait for them at every program. They are started from here,
# with no descriptor of the caller's: a service started by a test would hold that test's output
# open, and the test runner would wait for it to the end.
wineserver=$1
wine=$2
log=$(mktemp) || exit 1
trap 'rm -f "$log"' EXIT

wineboot() {
  "$wine" wineboot --init </dev/null >"$log" 2>&1
  status=$?
  cat "$log"
  [ "$status" = 0 ]
}

if [ -f "$WINEPREFIX/system.reg" ]; then
  # A server left over from a run that was cut short would never end.
  "$wineserver" -k 2>/dev/null
else
  # A new prefix is made by the server that wineboot starts, which ends with its last program.
  wineboot && "$wineserver" -w || exit 1
fi
"$wineserver" -p </dev/null >/dev/null 2>&1 && wineboot
