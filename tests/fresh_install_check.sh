#!/bin/sh
# Run by scripts/fresh-system inside a brand-new system where the package was just installed
# without recommends: the program opens its 266x254 window under Xvfb, and the caption test
# (the tst_mainwindow binary given) passes with only the fonts the package pulled in.
set -eu
test_binary=$1
find /usr/share/fonts -type f -name '*.[ot]tf' 2>/dev/null | sort >/root/fonts-of-package.txt
echo "Fonts the package pulled in:"
sed 's/^/  /' /root/fonts-of-package.txt
[ -s /root/fonts-of-package.txt ] || { echo "no font at all was pulled in"; exit 1; }

# What the check itself needs; none of it may bring a font.
apt-get install -y --no-install-recommends xvfb xauth x11-utils x11-apps libqt6test6 >/dev/null
find /usr/share/fonts -type f -name '*.[ot]tf' 2>/dev/null | sort >/root/fonts-after-tools.txt
if ! cmp -s /root/fonts-of-package.txt /root/fonts-after-tools.txt; then
    echo "The check's own tools brought fonts:"
    diff /root/fonts-of-package.txt /root/fonts-after-tools.txt || true
    exit 1
fi

cat >/root/window.sh <<'END'
set -eu
/usr/bin/quillaby &
program=$!
geometry=
for _ in $(seq 100); do
    geometry=$(xwininfo -name "Quillaby Calculator" 2>/dev/null |
        awk '/Width:/ {w = $2} /Height:/ {h = $2} END {if (w) print w "x" h}') || true
    [ -n "$geometry" ] && break
    sleep 0.1
done
sleep 1
xwd -root -silent >/root/window.xwd
kill "$program"
echo "window: ${geometry:-none}"
[ "$geometry" = 266x254 ]
END
xvfb-run -a -s "-screen 0 640x480x24" sh /root/window.sh

QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 "$test_binary" captionsFit startUpState
