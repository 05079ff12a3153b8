#!/bin/sh
# Usage: start_wine.sh WINESERVER WINE
# Makes the wine prefix $WINEPREFIX, or brings it up to date, and starts its server for good, so
# that the tests need not wait for a new server and its services at every program. Whatever wine
# leaves running holds no descriptor of the caller's: the test runner would wait for it.
wineserver=$1
wine=$2
mkdir -p "$WINEPREFIX" || exit 1
"$wineserver" -p </dev/null >/dev/null 2>&1 || exit 1
log=$WINEPREFIX/start.log
"$wine" wineboot --init </dev/null >"$log" 2>&1
status=$?
cat "$log"
exit $status
