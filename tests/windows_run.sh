#!/bin/sh
# Runs the cross-built Windows suite of the build directory $1 under Wine: ctest starts each
# test program through Wine (the build's CMAKE_CROSSCOMPILING_EMULATOR), in a Wine prefix of
# the build directory's own and an Xvfb of its own, where Qt's Windows platform draws real
# windows with real fonts. Further arguments go to ctest.
set -eu
build=$(cd "$1" && pwd)
shift
work=$(mktemp -d)
xvfb=
cleanup() {
    WINEPREFIX="$build/wine" /usr/lib/wine/wineserver -k 2>/dev/null || true
    [ -z "$xvfb" ] || { kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; }
    rm -rf "$work"
}
trap cleanup EXIT

. "$(dirname "$0")/xvfb.sh"
start_xvfb "$work" 1024x768x24 -noreset || exit 1
export DISPLAY="$display"

# No .NET or browser engine offered for download into the prefix; Wine's own messages off.
export WINEPREFIX="$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
/usr/lib/wine/wineserver -p # one server for every test, kept until the end
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making the Wine prefix $WINEPREFIX"
    /usr/lib/wine/wine64 wineboot --init >"$work/wineboot.log" 2>&1 ||
        { cat "$work/wineboot.log"; exit 1; }
    # Windows of their own, not handed to a window manager: none runs in this Xvfb, and Wine
    # would wait two seconds for one each time a window closes.
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
fi
# Wine's own services up before the tests start, two at a time: two programs that start them
# together have left one of them hanging at its end.
/usr/lib/wine/wine64 cmd /c ver >/dev/null 2>&1
cd "$build"
ctest --output-on-failure --timeout 300 -j "$(nproc)" "$@"
