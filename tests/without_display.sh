#!/bin/sh
# Starts the program with no display at all, and with a display that does not exist: each
# time it must print one line that says so and exit with status 1 (no Qt abort, no core
# dump).
check() {
    out=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" 2>&1)
    rc=$?
    printf '%s\n' "$out"
    [ "$rc" -eq 1 ] || { echo "exit status $rc, expected 1"; exit 1; }
    [ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] || { echo "expected one line"; exit 1; }
    printf '%s' "$out" | grep -q 'needs a graphical display' || { echo "message missing"; exit 1; }
}
check -u DISPLAY "$1"
n=8731
while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
check DISPLAY=:$n "$1"
