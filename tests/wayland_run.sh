#!/bin/sh
# Runs the given test programs natively on Wayland: under a Weston compositor nested in a
# private Xvfb (Weston's headless backend has no seat, and Qt's Wayland plugin crashes there
# on synthetic key events), with Qt's Wayland platform and no X display to fall back to.
# Fails, rather than waits, when Xvfb or Weston does not come up.
runtime=$(mktemp -d)
chmod 700 "$runtime"
xvfb=
weston=
trap 'kill $weston $xvfb 2>/dev/null; wait; rm -rf "$runtime"' EXIT
. "$(dirname "$0")/xvfb.sh"
start_xvfb "$runtime" 1024x768x24 || exit 1

DISPLAY=$display XDG_RUNTIME_DIR="$runtime" weston --backend=x11-backend.so --socket=quillaby-test \
    --idle-time=0 --width=1000 --height=700 >"$runtime/weston.log" 2>&1 &
weston=$!
for _ in $(seq 100); do
    [ -S "$runtime/quillaby-test" ] && break
    kill -0 $weston 2>/dev/null || break
    sleep 0.1
done
[ -S "$runtime/quillaby-test" ] || { echo "weston did not start"; cat "$runtime/weston.log"; exit 1; }

status=0
for test in "$@"; do
    env -u DISPLAY -u QT_QPA_PLATFORMTHEME QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=quillaby-test \
        XDG_RUNTIME_DIR="$runtime" timeout 120 "$test" || status=1
done
exit $status
