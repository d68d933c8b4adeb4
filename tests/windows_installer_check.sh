#!/bin/sh
# Run under tests/windows_run.sh (Wine prefix and display set): makes the installer and the
# zip of the Windows build $1 with CPack, signed with a throwaway key in a SoftHSM2 token
# (tests/windows_signing_setup.sh), and uses them as people would:
#   - the zip carries everything the program loads, qt.conf, its font and the licence texts,
#     within the release's sizes; every binary in it and the installer verify against the
#     throwaway CA (tests/windows_signing_check.sh shows that a changed file does not);
#   - /S installs for the current user: the files under %LOCALAPPDATA%\Programs, a Start-menu
#     entry and an entry among the user's programs (name, version, publisher, icon, size,
#     folder); the uninstaller the installer wrote is signed too; the program opens its window;
#   - the installer of an older build, then this one into a folder the person chose (/D):
#     one copy, one entry, in the chosen folder;
#   - /S /AllUsers installs into C:\Program Files with an entry for all users;
#   - each uninstaller removes its program, Start-menu entry and registry keys.
set -eu
build=$1
wine=/usr/lib/wine/wine64
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
program=
trap '[ -z "$program" ] || kill "$program" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }
name=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")

. "$here/windows_signing_setup.sh"
make_signing_key "$work/signing"
(cd "$work" && cpack -G "NSIS;ZIP" --config "$build/CPackConfig.cmake" >cpack.log 2>&1) ||
    { cat "$work/cpack.log"; fail "CPack failed"; }
unset QUILLABY_SIGN_KEY QUILLABY_SIGN_CERT QUILLABY_SIGN_MODULE QUILLABY_SIGN_PIN_FILE
installer=$work/$name.exe
[ -f "$installer" ] || fail "no installer made"

mkdir "$work/zip"
python3 -m zipfile -e "$work/$name.zip" "$work/zip"
unpacked=$work/zip/$name
for file in quillaby.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll libcurl.dll libstdc++-6.dll \
    libgcc_s_seh-1.dll libwinpthread-1.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll \
    qt.conf fonts/LiberationSansNarrow-Regular.ttf LICENSE.txt licenses/curl/COPYING \
    licenses/openssl/LICENSE.txt licenses/ca-certificates/copyright licenses/fonts/copyright \
    licenses/gcc/copyright licenses/mingw-w64/copyright licenses/qt/LGPL-3.0-only.txt; do
    [ -f "$unpacked/$file" ] || fail "the zip lacks $file"
done
grep -q "OpenSSL" "$unpacked/LICENSE.txt" && grep -q "$version" "$unpacked/LICENSE.txt" ||
    fail "LICENSE.txt names no OpenSSL or not version $version"
bytes() { du -sb "$1" | cut -f1; }
[ "$(bytes "$installer")" -le 10000000 ] || fail "the installer is $(bytes "$installer") bytes"
[ "$(bytes "$work/$name.zip")" -le 13000000 ] || fail "the zip is $(bytes "$work/$name.zip") bytes"
[ "$(bytes "$unpacked")" -le 31000000 ] || fail "the program is $(bytes "$unpacked") bytes"
echo "zip: everything the program loads, qt.conf, its font and the licence texts;" \
    "installer $(bytes "$installer"), zip $(bytes "$work/$name.zip"), unpacked $(bytes "$unpacked") bytes"
find "$unpacked" -name '*.exe' -o -name '*.dll' >"$work/binaries"
echo "$installer" >>"$work/binaries"
while IFS= read -r binary; do verify_signature "$binary"; done <"$work/binaries"
echo "signed: $(wc -l <"$work/binaries") binaries of the zip and the installer"

# A path on Wine's C: as this machine sees it.
unix_path() { printf '%s\n' "$1" | sed "s|^[Cc]:|$WINEPREFIX/drive_c|; s|\\\\|/|g"; }
# Where Windows keeps what belongs to the current user and to all users.
windows_variable() { $wine cmd /c echo "$1" | tr -d '\r'; }
local_programs=$(unix_path "$(windows_variable '%LOCALAPPDATA%')")/Programs
user_menu=$(unix_path "$(windows_variable '%APPDATA%')")/Microsoft/Windows/Start\ Menu/Programs
[ -d "$(dirname "$local_programs")" ] || fail "no %LOCALAPPDATA% folder: $local_programs"
all_menu=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs
program_files=$WINEPREFIX/drive_c/Program\ Files
entry='Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillaby Calculator'
app_key='Software\Quillaby\Quillaby Calculator'
# A clean system: nothing left by an earlier run.
for hive in HKCU HKLM; do
    $wine reg delete "$hive\\$entry" /f >/dev/null 2>&1 || true
    $wine reg delete "$hive\\$app_key" /f >/dev/null 2>&1 || true
done
rm -rf "$local_programs/Quillaby Calculator" "$program_files/Quillaby Calculator" \
    "$WINEPREFIX/drive_c/Chosen" "$user_menu/Quillaby Calculator" "$all_menu/Quillaby Calculator"

value() { # hive, value name -> the value of the entry among the system's programs
    $wine reg query "$1\\$entry" /v "$2" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
check_installed() { # folder (as this machine sees it), Start-menu folder, hive, version
    [ -f "$1/quillaby.exe" ] || fail "no quillaby.exe in $1"
    [ -f "$1/qt.conf" ] || fail "no qt.conf in $1"
    [ -f "$2/Quillaby Calculator/Quillaby Calculator.lnk" ] || fail "no Start-menu entry in $2"
    [ "$(value "$3" DisplayName)" = "Quillaby Calculator" ] || fail "no entry in $3"
    [ "$(value "$3" DisplayVersion)" = "$4" ] || fail "entry version $(value "$3" DisplayVersion), not $4"
    [ "$(value "$3" Publisher)" = Quillaby ] || fail "no publisher in the entry"
    [ "$(unix_path "$(value "$3" InstallLocation)")" = "$1" ] ||
        fail "the entry names the folder $(value "$3" InstallLocation), not $1"
    [ "$(unix_path "$(value "$3" DisplayIcon)")" = "$1/quillaby.exe" ] || fail "no icon in the entry"
    size=$(($(value "$3" EstimatedSize)))
    [ "$size" -gt 10000 ] && [ "$size" -le 31000 ] || fail "the entry's size is $size KB"
}
check_one_copy() { # the only folder that may hold the program
    copies=$(find "$WINEPREFIX/drive_c" -name quillaby.exe -path '*Quillaby*' -o \
        -name quillaby.exe -path '*Chosen*' | grep -v /windows/ || true)
    [ "$copies" = "$1/quillaby.exe" ] || fail "copies of the program: $copies"
}
uninstall() { # hive
    uninstaller=$(value "$1" QuietUninstallString)
    folder=$(unix_path "$(value "$1" InstallLocation)")
    [ -n "$uninstaller" ] || fail "no uninstaller in the entry"
    sh -c "$wine $uninstaller" # as Windows runs the entry's own command line
    # The uninstaller runs from a copy of itself and returns at once.
    for _ in $(seq 150); do
        if [ ! -e "$folder" ] && ! $wine reg query "$1\\$entry" >/dev/null 2>&1; then
            break
        fi
        sleep 0.2
    done
    [ ! -e "$folder" ] || fail "the uninstaller left $(ls "$folder")"
    ! $wine reg query "$1\\$entry" >/dev/null 2>&1 || fail "the uninstaller left the entry in $1"
    ! $wine reg query "$1\\$app_key" >/dev/null 2>&1 || fail "the uninstaller left $1\\$app_key"
}

# For the current user.
$wine "$installer" /S
check_installed "$local_programs/Quillaby Calculator" "$user_menu" HKCU "$version"
! $wine reg query "HKLM\\$entry" >/dev/null 2>&1 || fail "a per-user install wrote an entry for all users"
verify_signature "$local_programs/Quillaby Calculator/Uninstall.exe"
echo "installed for the current user in %LOCALAPPDATA%\\Programs\\Quillaby Calculator;" \
    "the uninstaller it wrote is signed"

$wine "$local_programs/Quillaby Calculator/quillaby.exe" &
program=$!
for _ in $(seq 150); do
    ! xwininfo -name "Quillaby Calculator" >/dev/null 2>&1 || break
    sleep 0.2
done
xwininfo -name "Quillaby Calculator" >/dev/null 2>&1 || fail "the installed program showed no window"
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
program=
echo "the installed program opened its window"

# An older build, then this one into a folder of the person's choice.
uninstall HKCU
(cd "$work" && cpack -G NSIS --config "$build/CPackConfig.cmake" -D CPACK_PACKAGE_VERSION=0.9.0 \
    -D CPACK_PACKAGE_FILE_NAME=older >/dev/null)
$wine "$work/older.exe" /S
check_installed "$local_programs/Quillaby Calculator" "$user_menu" HKCU 0.9.0
$wine "$installer" /S '/D=C:\Chosen'
check_installed "$WINEPREFIX/drive_c/Chosen" "$user_menu" HKCU "$version"
check_one_copy "$WINEPREFIX/drive_c/Chosen"
echo "an upgrade of 0.9.0 into C:\\Chosen leaves one copy and one entry"
uninstall HKCU
[ ! -e "$user_menu/Quillaby Calculator" ] || fail "the uninstaller left the Start-menu entry"

# For all users.
$wine "$installer" /S /AllUsers
check_installed "$program_files/Quillaby Calculator" "$all_menu" HKLM "$version"
! $wine reg query "HKCU\\$entry" >/dev/null 2>&1 || fail "an install for all users wrote a per-user entry"
echo "installed for all users in C:\\Program Files\\Quillaby Calculator"
uninstall HKLM
[ ! -e "$all_menu/Quillaby Calculator" ] || fail "the uninstaller left the Start-menu entry"
echo "uninstalled: program, Start-menu entries and registry keys gone"
