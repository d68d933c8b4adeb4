#!/bin/sh
# Run under tests/windows_run.sh (Wine prefix and display set): makes the installer and the
# zip of the Windows build $1 with CPack, signed with a throwaway key in a SoftHSM2 token
# (tests/windows_signing_setup.sh), and uses them as people would:
#   - the zip carries everything the program loads, qt.conf, its font and the licence texts,
#     within the release's limits (measured on this test build, which carries tests' CA
#     list: scripts/windows prints the release's own sizes); libcurl.dll imports the calls
#     that read Windows' certificate store; every binary in it and the installer verify against the
#     throwaway CA (tests/windows_signing_check.sh shows that a changed file does not);
#   - started without administrator rights (tests/unelevated_windows.cpp: Wine starts every
#     program elevated), /S installs for the current user: the files under
#     %LOCALAPPDATA%\Programs, a Start-menu entry and an entry among the user's programs
#     (name, version, publisher, icon, size, folder); the uninstaller the installer wrote is
#     signed too; the program opens its window;
#   - refusals end with exit code 2 and install nothing: for all users without administrator
#     rights, for the current user with them, for all users outside Program Files (".."
#     resolved), and a folder that holds a person's own files;
#   - the installer of an older build, then this one into a folder the person chose (/D):
#     one copy, one entry, in the chosen folder; the person's files beside it kept unchanged
#     through install and uninstall;
#   - with administrator rights /S installs for all users into Program Files (given by its
#     short name), with an entry for all users, and runs nothing that the per-user
#     installation's registry names (a planted uninstaller leaves no mark);
#   - each uninstaller removes its own copy, Start-menu entry and registry keys, and only
#     those, whatever other copy exists; the all-users one refuses without the rights.
set -eu
build=$1
wine=/usr/lib/wine/wine64
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
program=
trap '[ -z "$program" ] || kill "$program" 2>/dev/null; rm -rf "$work"' EXIT
unelevated="$wine $build/bin/unelevated.exe"
fail() { echo "$*"; exit 1; }
name=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")

. "$here/windows_signing_setup.sh"
make_signing_key "$work/signing"
export QUILLABY_SIGN_CACHE="$work/signed-once" SOURCE_DATE_EPOCH=1700000000
(cd "$work" && cpack -G "NSIS;ZIP" --config "$build/CPackConfig.cmake" >cpack.log 2>&1) ||
    { cat "$work/cpack.log"; fail "CPack failed"; }
unset QUILLABY_SIGN_KEY QUILLABY_SIGN_CERT QUILLABY_SIGN_MODULE QUILLABY_SIGN_PIN_FILE \
    QUILLABY_SIGN_CACHE
installer=$work/$name.exe
[ -f "$installer" ] || fail "no installer made"

mkdir "$work/zip"
python3 -m zipfile -e "$work/$name.zip" "$work/zip"
unpacked=$work/zip/$name
for file in quillaby.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll libcurl.dll libstdc++-6.dll \
    libgcc_s_seh-1.dll libwinpthread-1.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll \
    qt.conf fonts/LiberationSansNarrow-Regular.ttf LICENSE.txt licenses/curl/COPYING \
    licenses/openssl/LICENSE.txt licenses/fonts/copyright \
    licenses/gcc/copyright licenses/mingw-w64/copyright licenses/qt/LGPL-3.0-only.txt; do
    [ -f "$unpacked/$file" ] || fail "the zip lacks $file"
done
grep -q "OpenSSL" "$unpacked/LICENSE.txt" && grep -q "$version" "$unpacked/LICENSE.txt" ||
    fail "LICENSE.txt names no OpenSSL or not version $version"
# This build carries the CA list given to it, which comes with no licence of Mozilla's list.
grep -q "QUILLABY_CA_LIST" "$unpacked/LICENSE.txt" && ! grep -q "Mozilla" "$unpacked/LICENSE.txt" &&
    [ ! -e "$unpacked/licenses/ca-certificates" ] || fail "LICENSE.txt does not name the CA list carried"
# libcurl reads Windows' certificate store (CURLSSLOPT_NATIVE_CA): no test here reaches a real
# one (Wine's is made from this system's CA files), so at least the calls must be there.
imports=$(x86_64-w64-mingw32-objdump -p "$unpacked/libcurl.dll")
for call in CertOpenSystemStoreW CertEnumCertificatesInStore; do
    printf '%s\n' "$imports" | grep -qw "$call" || fail "libcurl.dll does not import $call"
done
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
drive_c=$WINEPREFIX/drive_c
mark=$drive_c/planted-program-ran
rm -rf "$local_programs/Quillaby Calculator" "$program_files/Quillaby Calculator" \
    "$drive_c/Chosen" "$drive_c/Person" "$drive_c/Planted" "$drive_c/users/Public/Q" "$mark" \
    "$user_menu/Quillaby Calculator" "$all_menu/Quillaby Calculator"

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
    # As Windows runs the entry's own command line: the current user's without rights.
    if [ "$1" = HKCU ]; then sh -c "$unelevated $uninstaller"; else sh -c "$wine $uninstaller"; fi
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

# Exit code of a command, without stopping here.
status() { "$@" >/dev/null 2>&1 && echo 0 || echo $?; }
nothing_installed() { # what a refused run must not have made
    for hive in HKCU HKLM; do
        ! $wine reg query "$hive\\$entry" >/dev/null 2>&1 || fail "a refused run wrote an entry in $hive"
    done
    [ -z "$(find "$drive_c" -name quillaby.exe -path '*Q*' | grep -v /windows/)" ] ||
        fail "a refused run installed the program"
}

# Refusals, before anything is installed.
[ "$(status $unelevated "$installer" /S /AllUsers)" = 2 ] ||
    fail "for all users without administrator rights: not refused with exit code 2"
[ "$(status $wine "$installer" /S /CurrentUser)" = 2 ] ||
    fail "for the current user with administrator rights: not refused with exit code 2"
[ "$(status $wine "$installer" /S '/D=C:\Users\Public\Q')" = 2 ] ||
    fail "for all users outside Program Files: not refused with exit code 2"
[ "$(status $wine "$installer" /S '/D=C:\Program Files\..\Users\Public\Q')" = 2 ] ||
    fail "for all users in C:\\Program Files\\..\\Users: not refused with exit code 2"
mkdir -p "$drive_c/Person"
printf 'my own licence\n' >"$drive_c/Person/LICENSE.txt"
printf '[Paths]\nmine = yes\n' >"$drive_c/Person/qt.conf"
persons=$(cat "$drive_c/Person/LICENSE.txt" "$drive_c/Person/qt.conf" | cksum)
[ "$(status $unelevated "$installer" /S '/D=C:\Person')" = 2 ] ||
    fail "a folder holding a person's files: not refused with exit code 2"
nothing_installed
echo "refused with exit code 2, installing nothing: all users without rights, the current" \
    "user with them, all users outside Program Files (also through ..), a person's folder"

# A person refused on the folder page who corrects the folder: the installation ends well.
$wine "$installer" '/D=C:\Users\Public\Q' &
setup=$!
program=$setup # ended with the check, whatever happens
for _ in $(seq 150); do
    ! xdotool search --onlyvisible --name "Quillaby Calculator Setup" >/dev/null 2>&1 || break
    sleep 0.2
done
xdotool search --onlyvisible --name "Quillaby Calculator Setup" >/dev/null 2>&1 ||
    fail "the installer showed no window"
# Keys go where the installer has put the keyboard, as a person's would.
press() { sleep 1; xdotool key "$@"; }
press Return # the welcome page
press Return # the licence
press Return # Install, into C:\Users\Public\Q: refused with a message
press Return # the message's OK
press alt+b
press Return # back to the folder page, the folder selected
sleep 1
xdotool type 'C:\Program Files\Quillaby Calculator'
press Return # Install
for _ in $(seq 100); do
    [ ! -f "$program_files/Quillaby Calculator/Uninstall.exe" ] || break
    sleep 0.2
done
press alt+r # no program started from the last page
press Return # Finish
for _ in $(seq 150); do
    kill -0 "$setup" 2>/dev/null || break
    sleep 0.2
done
! kill -0 "$setup" 2>/dev/null || fail "the installer did not end with Finish"
code=0
wait "$setup" || code=$?
program=
[ "$code" = 0 ] || fail "a refusal corrected on the folder page ended with exit code $code"
check_installed "$program_files/Quillaby Calculator" "$all_menu" HKLM "$version"
[ ! -e "$drive_c/users/Public/Q" ] || fail "the refused folder was made"
uninstall HKLM
echo "a refusal corrected on the folder page ends with exit code 0"

# For the current user.
$unelevated "$installer" /S
check_installed "$local_programs/Quillaby Calculator" "$user_menu" HKCU "$version"
! $wine reg query "HKLM\\$entry" >/dev/null 2>&1 || fail "a per-user install wrote an entry for all users"
verify_signature "$local_programs/Quillaby Calculator/Uninstall.exe"
for file in quillaby.exe libcurl.dll platforms/qwindows.dll; do
    cmp -s "$unpacked/$file" "$local_programs/Quillaby Calculator/$file" ||
        fail "the zip and the installer hold differently signed $file"
done
echo "installed for the current user in %LOCALAPPDATA%\\Programs\\Quillaby Calculator;" \
    "the uninstaller it wrote is signed, the binaries signed once for the zip and the installer"

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

# An older build, then this one into a folder of the person's choice, beside their files.
uninstall HKCU
(cd "$work" && cpack -G NSIS --config "$build/CPackConfig.cmake" -D CPACK_PACKAGE_VERSION=0.9.0 \
    -D CPACK_PACKAGE_FILE_NAME=older >/dev/null)
$unelevated "$work/older.exe" /S
check_installed "$local_programs/Quillaby Calculator" "$user_menu" HKCU 0.9.0
$unelevated "$installer" /S '/D=C:\Person\Quillaby Calculator'
check_installed "$drive_c/Person/Quillaby Calculator" "$user_menu" HKCU "$version"
check_one_copy "$drive_c/Person/Quillaby Calculator"
echo "an upgrade of 0.9.0 into C:\\Person\\Quillaby Calculator leaves one copy and one entry"
uninstall HKCU
[ ! -e "$user_menu/Quillaby Calculator" ] || fail "the uninstaller left the Start-menu entry"
[ "$(cat "$drive_c/Person/LICENSE.txt" "$drive_c/Person/qt.conf" | cksum)" = "$persons" ] ||
    fail "the person's LICENSE.txt or qt.conf changed"
echo "the person's LICENSE.txt and qt.conf beside it unchanged through install and uninstall"

# For all users, with a per-user installation whose registry names a planted uninstaller.
$unelevated "$installer" /S
mkdir -p "$drive_c/Planted"
cp "$build/bin/planted_program.exe" "$drive_c/Planted/Uninstall.exe"
$wine reg add "HKCU\\$app_key" /v InstallLocation /d 'C:\Planted' /f >/dev/null
short=$($wine cmd /c 'dir /x C:\' | tr -d '\r' |
    awk 'NF >= 3 && $(NF-1) == "Program" && $NF == "Files" { print $(NF-2) }')
[ -n "$short" ] || fail "no short name of C:\\Program Files"
$wine "$installer" /S "/D=C:\\$short\\Quillaby Calculator"
check_installed "$program_files/Quillaby Calculator" "$all_menu" HKLM "$version"
[ "$(status $wine "$installer" /S /CurrentUser)" = 2 ] || fail "/CurrentUser with rights ran"
[ ! -e "$mark" ] || fail "a run with administrator rights ran the uninstaller the user's registry names"
echo "installed for all users in C:\\Program Files\\Quillaby Calculator (given as C:\\$short);" \
    "no run with administrator rights ran the planted uninstaller"
$wine reg add "HKCU\\$app_key" /v InstallLocation /d "$(value HKCU InstallLocation)" /f >/dev/null
rm -rf "$drive_c/Planted"

# Each uninstaller removes its own copy, whatever other copy there is.
# (In its own folder, _?=, so that the exit code is its own and not that of the copy of itself
# that it would start.)
[ "$(status $unelevated \
    '"C:\Program Files\Quillaby Calculator\Uninstall.exe" /S _?=C:\Program Files\Quillaby Calculator')" = 2 ] ||
    fail "the all-users uninstaller without administrator rights: not refused with exit code 2"
[ -f "$program_files/Quillaby Calculator/quillaby.exe" ] || fail "a refused uninstaller removed files"
uninstall HKLM
[ ! -e "$all_menu/Quillaby Calculator" ] || fail "the uninstaller left the Start-menu entry"
check_installed "$local_programs/Quillaby Calculator" "$user_menu" HKCU "$version"
uninstall HKCU
echo "each uninstaller removed its own copy, its Start-menu entry and registry keys, and no other"
