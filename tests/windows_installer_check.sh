#!/bin/sh
# Run under tests/windows_run.sh (Wine prefix and display set): makes the installer and the
# zip of the Windows build $1 with CPack, checks what they carry, installs silently (/S),
# checks the Start-menu entry and the entry among the system's programs, starts the installed
# program until its window shows, then uninstalls silently and checks that it is gone.
set -eu
build=$1
wine=/usr/lib/wine/wine64
work=$(mktemp -d)
program=
trap '[ -z "$program" ] || kill "$program" 2>/dev/null; rm -rf "$work"' EXIT
(cd "$work" && cpack -G "NSIS;ZIP" --config "$build/CPackConfig.cmake" >/dev/null)
installer=$work/quillaby-calculator-1.0.0-win64.exe
[ -f "$installer" ] || { echo "no installer made"; exit 1; }

top=quillaby-calculator-1.0.0-win64
python3 - "$work/$top.zip" "$top" <<'END'
import sys, zipfile
names = set(zipfile.ZipFile(sys.argv[1]).namelist())
top = sys.argv[2] + "/"
needed = ["quillaby.exe", "Qt6Core.dll", "Qt6Gui.dll", "Qt6Widgets.dll", "libcurl.dll",
          "libstdc++-6.dll", "libgcc_s_seh-1.dll", "libwinpthread-1.dll",
          "platforms/qwindows.dll", "styles/qwindowsvistastyle.dll",
          "fonts/LiberationSansNarrow-Regular.ttf", "LICENSE.txt", "licenses/curl/COPYING",
          "licenses/fonts/copyright", "licenses/gcc/copyright", "licenses/mingw-w64/copyright"]
missing = [name for name in needed if top + name not in names]
if not any(name.startswith(top + "licenses/qt/LGPL") for name in names):
    missing.append("licenses/qt/LGPL-3.0...")
if missing:
    sys.exit("the zip lacks " + ", ".join(missing))
print("zip: everything the program loads, its font and the licence texts")
END

# A clean system: no earlier installation left by an earlier run.
folder="$WINEPREFIX/drive_c/Program Files/Quillaby Calculator"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quillaby Calculator"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillaby Calculator'
$wine reg delete "$key" /f >/dev/null 2>&1 || true
rm -rf "$folder" "$menu"
$wine "$installer" /S
[ -f "$folder/quillaby.exe" ] || { echo "the installer put no quillaby.exe in $folder"; exit 1; }
[ -f "$folder/fonts/LiberationSansNarrow-Regular.ttf" ] || { echo "no font installed"; exit 1; }
[ -f "$menu/Quillaby Calculator.lnk" ] || { echo "no Start-menu entry in $menu"; ls -R "$menu/.." | head; exit 1; }
$wine reg query "$key" >"$work/uninstall.txt" 2>&1 ||
    { cat "$work/uninstall.txt"; echo "not listed among the system's programs"; exit 1; }
tr -d '\r' <"$work/uninstall.txt" | grep -E 'DisplayName|UninstallString|DisplayIcon' | sed 's/^/  /'
echo "installed in C:\\Program Files\\Quillaby Calculator, with a Start-menu entry"

$wine "C:\\Program Files\\Quillaby Calculator\\quillaby.exe" &
program=$!
shown=no
for _ in $(seq 150); do
    if xwininfo -name "Quillaby Calculator" >/dev/null 2>&1; then
        shown=yes
        break
    fi
    sleep 0.2
done
[ "$shown" = yes ] || { echo "the installed program showed no window"; exit 1; }
echo "the installed program opened its window"
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
program=

$wine "C:\\Program Files\\Quillaby Calculator\\Uninstall.exe" /S
# The uninstaller runs from a copy of itself and returns at once.
for _ in $(seq 150); do
    [ -e "$folder/quillaby.exe" ] || break
    sleep 0.2
done
[ ! -e "$folder/quillaby.exe" ] || { echo "the uninstaller left quillaby.exe"; exit 1; }
[ ! -e "$menu/Quillaby Calculator.lnk" ] || { echo "the uninstaller left the Start-menu entry"; exit 1; }
if $wine reg query "$key" >/dev/null 2>&1; then
    echo "the uninstaller left the entry among the system's programs"
    exit 1
fi
echo "uninstalled: program, Start-menu entry and the entry among the system's programs gone"
