#!/bin/sh
# The same bytes from the same sources: the installer and the zip packed from the Windows
# build $1 (unsigned, as a release is before its signatures), and from a second build of the
# same sources made from scratch in another folder, with another umask, time zone and locale,
# must be identical. SOURCE_DATE_EPOCH is the commit's, as in scripts/windows.
set -eu
build=$(cd "$1" && pwd)
source=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }
setting() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
SOURCE_DATE_EPOCH=$(git -C "$source" log -1 --format=%ct 2>/dev/null || date -r "$source/CMakeLists.txt" +%s)
export SOURCE_DATE_EPOCH
unset QUILLABY_SIGN_KEY QUILLABY_SIGN_CACHE

# The sources as a checkout has them, copied into a folder of another name.
mkdir -p "$work/elsewhere/tree"
if git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    (cd "$source" && git ls-files -z --cached --others --exclude-standard |
        xargs -0 cp --parents -t "$work/elsewhere/tree")
else
    (cd "$source" && tar --exclude='./build*' -cf - .) | tar -xf - -C "$work/elsewhere/tree"
fi
(
    umask 077
    export TZ=Pacific/Chatham LC_ALL=C LANG=C
    cmake -G Ninja -S "$work/elsewhere/tree" -B "$work/elsewhere/build" \
        -DCMAKE_TOOLCHAIN_FILE="$work/elsewhere/tree/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_PREFIX_PATH="$(setting CMAKE_PREFIX_PATH)" -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_TESTING=OFF -DQUILLABY_SERVICE_HOST="$(setting QUILLABY_SERVICE_HOST)" \
        -DQUILLABY_SERVICE_SCHEME="$(setting QUILLABY_SERVICE_SCHEME)" \
        -DQUILLABY_SERVICE_CA="$(setting QUILLABY_SERVICE_CA)" \
        -DQUILLABY_CA_LIST="$(setting QUILLABY_CA_LIST)" >"$work/configure.log" 2>&1 ||
        { cat "$work/configure.log"; exit 1; }
    cmake --build "$work/elsewhere/build" --target quillaby >"$work/build.log" 2>&1 ||
        { cat "$work/build.log"; exit 1; }
    mkdir "$work/second" && cd "$work/second" &&
        cpack -G "NSIS;ZIP" --config "$work/elsewhere/build/CPackConfig.cmake" >cpack.log 2>&1 ||
        { cat cpack.log; exit 1; }
) || fail "the second build failed"
mkdir "$work/first"
(cd "$work/first" && cpack -G "NSIS;ZIP" --config "$build/CPackConfig.cmake" >cpack.log 2>&1) ||
    { cat "$work/first/cpack.log"; fail "CPack failed on $build"; }

for package in "$work"/first/*.exe "$work"/first/*.zip; do
    other=$work/second/$(basename "$package")
    [ -f "$other" ] || fail "the second build made no $(basename "$package")"
    if ! cmp -s "$package" "$other"; then
        cmp "$package" "$other" || true
        fail "$(basename "$package") differs between the two builds"
    fi
    echo "$(sha256sum <"$package" | cut -c 1-16)  $(basename "$package"): the same from both builds"
done
