#!/usr/bin/env bash
# The Windows downloads as a Windows user gets them, under Wine: the setup installs silently for the user, with the
# files, the Start menu entry and the entry in Apps & features; the installed veltrin-cli.exe derives the sample's
# listings byte for byte as the goldens (which it could not do if it needed a DLL beside it); the silent uninstall
# leaves nothing. The zip holds the installed files. Runs in the Wine prefix that WINEPREFIX names (the build's, which
# the other Windows tests share), after taking away what an earlier, interrupted run of this test left there.
#
#   windows-packages-test.sh SETUP.exe WINDOWS.zip GOLDEN-FOLDER
#
# Prints one line per check and closes with "N passed, N failed"; exits 1 if any check failed.
set -uo pipefail
[ "$#" -eq 3 ] || { echo "usage: windows-packages-test.sh SETUP.exe WINDOWS.zip GOLDEN-FOLDER" >&2; exit 2; }
setup=$(realpath "$1") zip=$(realpath "$2") goldens=$(realpath "$3")
wine=${VELTRIN_WINE:-wine}
work=$(mktemp -d "${TMPDIR:-/tmp}/veltrin-windows-packages.XXXXXX")
trap 'rm -rf "$work"' EXIT

passed=0 failed=0
check() { if "${@:2}" >/dev/null 2>&1; then passed=$((passed + 1)) && echo "ok:   $1"; else failed=$((failed + 1)) && echo "FAIL: $1"; fi; }
# The uninstaller runs from a copy of itself that it starts and leaves at once: its work is waited for.
eventually() { for _ in $(seq 100); do "$@" && return; sleep 0.3; done; return 1; }

user=${WINEPREFIX:-$HOME/.wine}/drive_c/users/$(id -un)
installed=$user/AppData/Local/Programs/Veltrin
entry="$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Veltrin.lnk"
files=(veltrin.exe veltrin-cli.exe README.txt LICENSE.txt examples/Spectrum128_ROM0.asm)
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Veltrin'
rm -rf "$installed" "$entry" && "$wine" reg delete "$uninstall_key" /f >/dev/null 2>&1

"$wine" "$setup" /S
for file in "${files[@]}" uninstall.exe; do check "the setup installs $file" test -f "$installed/$file"; done
check "the setup makes a Start menu entry" test -f "$entry"
check "Apps & features lists the uninstaller" "$wine" reg query "$uninstall_key" /v UninstallString

mkdir "$work/run" && cp "$installed/examples/Spectrum128_ROM0.asm" "$work/run/"
(cd "$work/run" && "$wine" "$installed/veltrin-cli.exe" --quiet)
for listing in Spectrum+2_ROM0.asm Spectrum+2_Spanish_ROM0.asm Spectrum+2_French_ROM0.asm; do
    check "the installed veltrin-cli.exe derives $listing" cmp "$work/run/$listing" "$goldens/$listing"
done

mkdir "$work/zip" && (cd "$work/zip" && cmake -E tar xf "$zip")
for file in "${files[@]}"; do check "the zip holds $file as installed" cmp "$work/zip/"*/"$file" "$installed/$file"; done

"$wine" "$installed/uninstall.exe" /S
check "the uninstaller removes the installed folder" eventually test ! -e "$installed"
check "the uninstaller removes the Start menu entry" test ! -e "$entry"
check "the uninstaller removes its entry in Apps & features" eventually bash -c "! '$wine' reg query '$uninstall_key'"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
