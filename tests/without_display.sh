#!/bin/sh
# Starts the program with no display at all, and with displays that do not exist (X, Wayland,
# or a platform named in QT_QPA_PLATFORM): each time it must print one line that says so and
# exit with status 1 (no Qt abort, no core dump). When Qt's platform list names one platform
# that works, the program starts.
clean_env="env -u WAYLAND_DISPLAY -u WAYLAND_SOCKET -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE"
check() {
    out=$($clean_env "$@" 2>&1)
    rc=$?
    printf '%s\n' "$out"
    [ "$rc" -eq 1 ] || { echo "exit status $rc, expected 1"; exit 1; }
    [ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] || { echo "expected one line"; exit 1; }
    printf '%s' "$out" | grep -q 'needs a graphical display' || { echo "message missing"; exit 1; }
}
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
n=8731
while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done

check -u DISPLAY "$1"
check DISPLAY=:$n "$1"
check QT_QPA_PLATFORM=xcb DISPLAY=:$n "$1"
check "QT_QPA_PLATFORM=wayland;xcb" DISPLAY=:$n "$1"
check -u DISPLAY WAYLAND_DISPLAY=no-such-socket XDG_RUNTIME_DIR="$runtime" "$1"

$clean_env "QT_QPA_PLATFORM=xcb;offscreen" DISPLAY=:$n timeout 3 "$1" >/dev/null 2>&1
rc=$?
[ "$rc" -eq 124 ] || { echo "xcb;offscreen: exit status $rc, expected to keep running"; exit 1; }
