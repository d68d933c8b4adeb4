#!/bin/sh
# A release anyone can check, for the Windows build $1: a signed release (the throwaway key
# of tests/windows_signing_setup.sh) made by scripts/windows from a copy of this checkout,
# then scripts/verify-release on the published files, run with another umask, time zone and
# locale, so that its rebuild from the sources archive alone, in a folder of its own, must
# give the very same bytes: it must accept them as published, and refuse them with one byte
# of the zip changed, naming the zip. The packing step, run again with another key, signs anew.
set -eu
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }
. "$here/windows_signing_setup.sh"
make_signing_key "$work/signing" >/dev/null
SOURCE_DATE_EPOCH=$(git -C "$source" log -1 --format=%ct 2>/dev/null || date -r "$source/CMakeLists.txt" +%s)
export SOURCE_DATE_EPOCH

mkdir -p "$work/tree"
if git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    (cd "$source" && git ls-files -z --cached --others --exclude-standard |
        xargs -0 cp --parents -t "$work/tree")
else
    (cd "$source" && tar --exclude='./build*' -cf - .) | tar -xf - -C "$work/tree"
fi
(cd "$work/tree" && umask 022 && TZ=UTC LC_ALL=C.UTF-8 scripts/windows \
    --sign-key "$QUILLABY_SIGN_KEY" --sign-cert "$QUILLABY_SIGN_CERT" \
    --sign-module "$QUILLABY_SIGN_MODULE" --sign-pin-file "$QUILLABY_SIGN_PIN_FILE" \
    --allow-older-sources --allow-loopback -DQUILLABY_SERVICE_HOST=127.0.0.1:1 \
    -DQUILLABY_SERVICE_SCHEME=http) >"$work/release.log" 2>&1 ||
    { tail -n 30 "$work/release.log"; fail "scripts/windows failed"; }
mkdir "$work/published"
cp "$work"/tree/build-windows-package/quillaby-calculator-* "$work/published/"
ls "$work/published" | sed 's/^/published: /'

verify() { # folder -> verify-release's exit code; its output in $work/verify.log
    (umask 077 && TZ=Pacific/Chatham LC_ALL=C "$work/tree/scripts/verify-release" \
        --ca-file "$work/signing/root.pem" "$1") >"$work/verify.log" 2>&1 && echo 0 || echo $?
}
[ "$(verify "$work/published")" = 0 ] ||
    { cat "$work/verify.log"; fail "scripts/verify-release refused the release as published"; }
grep '^VERIFIED' "$work/verify.log"

zip=$(ls "$work"/published/*.zip)
python3 -c 'import sys; b = bytearray(open(sys.argv[1], "rb").read()); b[len(b) // 2] ^= 1
open(sys.argv[1], "wb").write(b)' "$zip"
[ "$(verify "$work/published")" != 0 ] ||
    { cat "$work/verify.log"; fail "scripts/verify-release accepted a zip with a changed byte"; }
grep -q "$(basename "$zip")" "$work/verify.log" ||
    { cat "$work/verify.log"; fail "scripts/verify-release did not name the changed zip"; }
echo "refused with one byte of the zip changed: $(grep -m 1 "$(basename "$zip")" "$work/verify.log")"

# The packing step run on its own, again on the same build and with another key: every file
# is signed anew by that key, none keeps a signature of the first packing.
make_signing_key "$work/signing-again" >/dev/null
(cd "$work" && tree/release/pack/run tree/build-windows-package) >"$work/repack.log" 2>&1 ||
    { tail -n 30 "$work/repack.log"; fail "release/pack/run failed on a build packed before"; }
mkdir "$work/repacked"
python3 -m zipfile -e "$work"/tree/build-windows-package/*.zip "$work/repacked"
for signed in "$work"/repacked/*/quillaby.exe "$work"/tree/build-windows-package/*-win64.exe; do
    verify_signature "$signed" || fail "$(basename "$signed") packed again kept the first key's signature"
done
echo "packed again with another key: every file checked is signed by it"
