#!/bin/sh
# Installs the build into a staging folder and checks what lands there: the program, the
# desktop entry, the icons and the AppStream metadata under one application id, with both
# validators passing, and the manual page naming the service the build was made for.
set -eu
build=$1
id=org.quillaby.Calculator
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
for file in bin/quillaby share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/16x16/apps/$id.png share/icons/hicolor/32x32/apps/$id.png \
    share/icons/hicolor/48x48/apps/$id.png share/icons/hicolor/128x128/apps/$id.png \
    share/icons/hicolor/scalable/apps/$id.svg share/man/man1/quillaby.1.gz \
    share/doc/quillaby-calculator/copyright share/doc/quillaby-calculator/changelog.gz; do
    [ -f "$stage/usr/$file" ] || { echo "missing: $file"; exit 1; }
done
grep -qx "Icon=$id" "$stage/usr/share/applications/$id.desktop"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
    "$stage/usr/share/metainfo/$id.metainfo.xml"
desktop-file-validate "$stage/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$stage/usr/share/metainfo/$id.metainfo.xml"
host=$(sed -n 's/^QUILLABY_SERVICE_HOST:[A-Z]*=//p' "$build/CMakeCache.txt" | sed 's/-/\\-/g')
gzip -dc "$stage/usr/share/man/man1/quillaby.1.gz" | grep -qF "$host" ||
    { echo "the manual page does not name the service host $host"; exit 1; }
echo "install layout and validators: ok"
