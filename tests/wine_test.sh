#!/bin/sh
# The cross-built tests' emulator (CMAKE_CROSSCOMPILING_EMULATOR of scripts/windows-test):
# runs a test program under Wine and prints what it wrote. A QTest program under Wine writes
# nothing to a standard output that is a pipe, so its log goes to a file, printed here;
# other programs run as they are. Exits with the program's status.
set -u
program=$1
shift
case $(basename "$program") in
tst_*.exe)
    log=$(mktemp)
    status=0
    /usr/lib/wine/wine64 "$program" "$@" -o "Z:$log,txt" || status=$?
    cat "$log"
    rm -f "$log"
    exit "$status"
    ;;
*) exec /usr/lib/wine/wine64 "$program" "$@" ;;
esac
