#!/bin/sh
# Builds the Debian package, has lintian check it (no error, no warning), checks its
# dependencies and files, unpacks it into an empty root and starts the unpacked program on
# the offscreen platform.
set -eu
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" >/dev/null)
deb=$(ls "$work"/*.deb)
if ! lintian --fail-on error,warning "$deb" >"$work/lintian" 2>&1; then
    cat "$work/lintian"
    echo "lintian refuses the package"
    exit 1
fi
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in libqt6widgets6 libcurl4 fonts-liberation libc6; do
    printf '%s' "$depends" | grep -q "$needed" || { echo "no dependency on $needed"; exit 1; }
done
dpkg-deb -f "$deb" Recommends | grep -q qt6-wayland || { echo "qt6-wayland not recommended"; exit 1; }
dpkg-deb -x "$deb" "$work/root"
[ -x "$work/root/usr/bin/quillaby" ] || { echo "no program in the package"; exit 1; }
[ -f "$work/root/usr/share/applications/org.quillaby.Calculator.desktop" ] ||
    { echo "no desktop entry in the package"; exit 1; }
QT_QPA_PLATFORM=offscreen "$work/root/usr/bin/quillaby" &
program=$!
sleep 2
kill -0 "$program" 2>/dev/null || { echo "the unpacked program did not keep running"; exit 1; }
kill "$program"
wait "$program" 2>/dev/null || true
echo "package: ok"
