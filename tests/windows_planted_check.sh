#!/bin/sh
# Run under tests/windows_run.sh (Wine prefix and display set), for the Windows build $1:
# plants what another user of the PC could put in folders they may create, then runs
# tst_trust_windows (https requests through the default trust, and Qt's own folders), and
# checks that none of it was read or run:
#   - an openssl.cnf whose provider section names a DLL that leaves a mark when loaded (and
#     whose algorithm section would break every handshake) in every folder that libcurl.dll
#     names for OpenSSL, and in the folder an OpenSSL built with the toolchain's cache as its
#     prefix would name (C:\var\cache\...; Wine looks for a path that starts with / on this
#     machine's side first, so it goes into the cache too); the same DLL as every provider
#     and engine in the module folders named;
#   - a Qt installation one folder above the program (..\lib\libQt6Core.a, ..\plugins).
# First it shows that the plants are where this OpenSSL looks and potent: openssl.exe (built
# like the OpenSSL inside libcurl.dll, but reading its configuration file as the command does)
# works before and fails after.
# It plants only inside its Wine prefix, the build folder and the toolchain's cache, never
# through a link, and lists each plant in the Wine prefix as it goes: the plants of a run that
# was killed are removed by the next one before it starts, and each run removes its own at
# its end.
set -eu
build=$1
wine=/usr/lib/wine/wine64
drive_c=$WINEPREFIX/drive_c
work=$(mktemp -d)
fail() { echo "$*"; exit 1; }
# The toolchain's cache: the folder of the OpenSSL this build links.
openssl_prefix=$(sed -n 's/^OPENSSL_INCLUDE_DIR:[A-Z]*=\(.*\)\/include$/\1/p' "$build/CMakeCache.txt")
[ -n "$openssl_prefix" ] || fail "no OpenSSL folder in $build/CMakeCache.txt"
cache=$(dirname "$openssl_prefix")
planted_list=$WINEPREFIX/planted-files.list
remove_plants() {
    [ ! -f "$planted_list" ] || while IFS= read -r path; do
        case $path in
        "$WINEPREFIX"/* | "$build"/* | "$cache"/*) rm -rf "$path" ;;
        esac
    done <"$planted_list"
    rm -f "$planted_list" "$drive_c/planted-module-ran"
}
remove_plants
trap 'remove_plants; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM
plant() { # source file, target file; the folders made for it are removed again too
    case $2 in
    "$WINEPREFIX"/*) root=$WINEPREFIX ;;
    "$build"/*) root=$build ;;
    "$cache"/*) root=$cache ;;
    *) fail "not planting outside the Wine prefix, the build and the toolchain's cache: $2" ;;
    esac
    path=$2
    while [ "$path" != "$root" ]; do
        [ ! -L "$path" ] || fail "not planting through the link $path"
        path=$(dirname "$path")
    done
    top=$(dirname "$2")
    while [ ! -e "$(dirname "$top")" ]; do top=$(dirname "$top"); done
    [ -e "$top" ] || echo "$top" >>"$planted_list"
    echo "$2" >>"$planted_list"
    mkdir -p "$(dirname "$2")" && cp "$1" "$2"
}
env -u OPENSSL_CONF $wine "$build/bin/openssl.exe" dgst -sha256 "Z:$0" >"$work/control.log" 2>&1 ||
    { cat "$work/control.log"; fail "openssl.exe fails before anything is planted"; }
module=$(find "$build" -maxdepth 2 -name planted_module.dll | head -n 1)
[ -n "$module" ] || fail "no planted_module.dll in $build"
plant "$module" "$drive_c/planted_module.dll"
cat >"$work/openssl.cnf" <<'CNF'
openssl_conf = planted
[planted]
providers = planted_providers
alg_section = planted_algorithms
[planted_providers]
planted = planted_provider
[planted_provider]
module = C:\planted_module.dll
activate = 1
[planted_algorithms]
default_properties = fips=yes
CNF

# The folders OpenSSL inside libcurl.dll names, as Windows paths.
folders=$(python3 - "$build/bin/libcurl.dll" <<'END'
import re, sys
data = open(sys.argv[1], "rb").read()
for name in (b"OPENSSLDIR", b"ENGINESDIR", b"MODULESDIR"):
    for value in re.findall(name + rb': "([^"]*)"', data):
        print(name.decode(), value.decode())
END
)
[ -n "$folders" ] || fail "libcurl.dll names no OpenSSL folder: is OpenSSL inside it?"
echo "$folders" | sed 's/^/libcurl.dll: /'
# The folder an OpenSSL built with the cache as its prefix would name.
prefix_ssl=$openssl_prefix/ssl
plant_for() { # kind, folder as Windows or this machine sees it
    if [ "$1" = OPENSSLDIR ]; then
        plant "$work/openssl.cnf" "$2/openssl.cnf" || fail "cannot plant in $2"
    else
        for name in planted fips legacy default base null padlock capi loader_attic; do
            plant "$module" "$2/$name.dll" || fail "cannot plant in $2"
        done
    fi
    echo "planted in $2"
}
while read -r kind folder; do
    case $folder in
    "$cache"/*)
        plant_for "$kind" "$folder"
        plant_for "$kind" "$drive_c$folder"
        ;;
    /*) plant_for "$kind" "$drive_c$folder" ;;
    [A-Za-z]:*) plant_for "$kind" "$drive_c$(echo "${folder#?:}" | tr '\\' /)" ;;
    *) fail "a relative OpenSSL folder: $folder" ;;
    esac
done <<LIST
$folders
LIST
plant_for OPENSSLDIR "$drive_c$prefix_ssl"
plant_for OPENSSLDIR "$prefix_ssl"

if env -u OPENSSL_CONF $wine "$build/bin/openssl.exe" dgst -sha256 "Z:$work/openssl.cnf" \
    >"$work/control.log" 2>&1; then
    fail "openssl.exe works as usual with the planted openssl.cnf: the plant proves nothing"
fi
echo "control: openssl.exe reads the planted openssl.cnf and fails"

: >"$work/libQt6Core.a"
plant "$work/libQt6Core.a" "$build/lib/libQt6Core.a"
plant "$build/bin/platforms/qwindows.dll" "$build/plugins/platforms/qwindows.dll"

status=0
env -u OPENSSL_CONF sh "$(dirname "$0")/wine_test.sh" "$build/bin/tst_trust_windows.exe" \
    -platform windows || status=$?
if [ -e "$drive_c/planted-module-ran" ]; then
    echo "the planted DLL ran"
    exit 1
fi
[ "$status" -eq 0 ] || exit "$status"
echo "nothing planted was read or run"
