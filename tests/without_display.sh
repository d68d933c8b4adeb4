#!/bin/sh
# Starts the program with no display at all, and with displays that do not exist (X, Wayland,
# or a platform named in QT_QPA_PLATFORM): each time it must print one line that says so and
# exit with status 1 (no Qt abort, no core dump). In a Wayland session without Qt's Wayland
# plugin the line names the package that brings it. When Qt's platform list names one
# platform that works, the program starts.
clean_env="env -u WAYLAND_DISPLAY -u WAYLAND_SOCKET -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE"
check() {
    expected=${expected:-needs a graphical display}
    out=$($clean_env "$@" 2>&1)
    rc=$?
    printf '%s\n' "$out"
    [ "$rc" -eq 1 ] || { echo "exit status $rc, expected 1"; exit 1; }
    [ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] || { echo "expected one line"; exit 1; }
    printf '%s' "$out" | grep -q "$expected" || { echo "message missing"; exit 1; }
}
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
# A display no X server holds: neither its lock file nor its socket exists (an abstract
# socket, seen in /proc/net/unix, is shared with every chroot on the machine).
n=8731
while [ -e "/tmp/.X$n-lock" ] || grep -q "/tmp/.X11-unix/X$n\$" /proc/net/unix; do
    n=$((n + 1))
done

check -u DISPLAY "$1"
check DISPLAY=:$n "$1"
check QT_QPA_PLATFORM=xcb DISPLAY=:$n "$1"
check "QT_QPA_PLATFORM=wayland;xcb" DISPLAY=:$n "$1"
check -u DISPLAY WAYLAND_DISPLAY=no-such-socket XDG_RUNTIME_DIR="$runtime" "$1"

# A copy of the program whose qt.conf gives it a plugin folder with the X plugin alone.
mkdir -p "$runtime/plugins/platforms" "$runtime/bin"
ln -s "$(qtpaths6 --query QT_INSTALL_PLUGINS)/platforms/libqxcb.so" "$runtime/plugins/platforms/"
cp "$1" "$runtime/bin/"
printf '[Paths]\nPlugins=%s\n' "$runtime/plugins" >"$runtime/bin/qt.conf"
expected=qt6-wayland check -u DISPLAY XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-0 \
    XDG_RUNTIME_DIR="$runtime" "$runtime/bin/$(basename "$1")"

$clean_env "QT_QPA_PLATFORM=xcb;offscreen" DISPLAY=:$n timeout 3 "$1" >/dev/null 2>&1
rc=$?
[ "$rc" -eq 124 ] || { echo "xcb;offscreen: exit status $rc, expected to keep running"; exit 1; }

# A bare X server, whose only client the program is: it starts every time. (The display
# check must not leave the server without clients just as Qt connects: the server would
# reset then, and Qt abort. Under load that happened to about one start in three, so two
# busy loops run alongside.)
# Xvfb picks a free display itself and writes its number once it listens.
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$runtime/display" >/dev/null 2>&1 &
xvfb=$!
timeout 20 sh -c 'while :; do :; done' &
busy1=$!
timeout 20 sh -c 'while :; do :; done' &
busy2=$!
trap 'kill $xvfb $busy1 $busy2 2>/dev/null; rm -rf "$runtime"' EXIT
for _ in $(seq 50); do [ -s "$runtime/display" ] && break; sleep 0.1; done
n=$(cat "$runtime/display")
for attempt in 1 2 3 4 5 6 7 8 9 10; do
    $clean_env DISPLAY=:$n timeout 1 "$1" >/dev/null 2>&1
    rc=$?
    [ "$rc" -eq 124 ] || { echo "bare X server, start $attempt: exit status $rc"; exit 1; }
done
