#!/bin/sh
# Starts the real program under Xvfb with a D-Bus session and the AT-SPI bus, and reads it
# as a screen reader would (a11y_atspi.py), driving it with xdotool.
set -eu
program=$1
script="$(cd "$(dirname "$0")" && pwd)/a11y_atspi.py"
exec xvfb-run -a -s "-screen 0 640x480x24 -nolisten tcp" dbus-run-session -- sh -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately &
    bus=$!
    sleep 1
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$1" &
    app=$!
    timeout 120 /usr/bin/python3 "$2"
    rc=$?
    kill "$app" "$bus" 2>/dev/null
    exit "$rc"
' sh "$program" "$script"
