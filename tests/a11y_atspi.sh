#!/bin/sh
# Starts the real program under Xvfb with a D-Bus session and the AT-SPI bus, and reads it
# as a screen reader would (a11y_atspi.py), driving it with xdotool. The check ends by
# closing the main window: the program must then end by itself, with status 0.
set -eu
program=$1
script="$(cd "$(dirname "$0")" && pwd)/a11y_atspi.py"
. "$(dirname "$0")/xvfb.sh"
work=$(mktemp -d)
xvfb=
cleanup() {
    [ -z "$xvfb" ] || { kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; }
    rm -rf "$work"
}
trap cleanup EXIT

# -noreset keeps the server from resetting when its first client leaves. The program starts
# only once a client has connected.
start_xvfb "$work" 640x480x24 -noreset || exit 1
export DISPLAY="$display"

dbus-run-session -- sh -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately &
    bus=$!
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$1" &
    app=$!
    timeout 150 /usr/bin/python3 "$2"
    rc=$?
    for _ in $(seq 100); do
        kill -0 "$app" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$app" 2>/dev/null; then
        echo "FAIL the program did not end after its window was closed"
        kill "$app"
        rc=1
    fi
    wait "$app"
    status=$?
    [ "$status" -eq 0 ] || { echo "FAIL the program ended with status $status"; rc=1; }
    kill "$bus" 2>/dev/null
    exit "$rc"
' sh "$program" "$script"
