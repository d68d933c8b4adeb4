#!/bin/sh
# Starts the real program under Xvfb with a D-Bus session and the AT-SPI bus, and reads it
# as a screen reader would (a11y_atspi.py), driving it with xdotool. The check ends by
# closing the main window: the program must then end by itself, with status 0.
set -eu
program=$1
script="$(cd "$(dirname "$0")" && pwd)/a11y_atspi.py"
exec xvfb-run -a -s "-screen 0 640x480x24 -nolisten tcp" dbus-run-session -- sh -c '
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
