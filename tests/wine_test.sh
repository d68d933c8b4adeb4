#!/bin/sh
# The cross-built tests' emulator (CMAKE_CROSSCOMPILING_EMULATOR of scripts/windows-test):
# runs a QTest program under Wine and prints its log. Under Wine a QTest program writes
# nothing to a standard output that is a pipe, so its log goes to a file, printed here.
# Exits with the program's status.
set -u
program=$1
shift
log=$(mktemp)
status=0
/usr/lib/wine/wine64 "$program" "$@" -o "Z:$log,txt" || status=$?
cat "$log"
rm -f "$log"
exit "$status"
