#!/usr/bin/env bash
# The Windows downloads as a Windows user gets them, under Wine: the setup installs silently for the user, with the
# files, the Start menu entry and the entry in Apps & features; the installed veltrin-cli.exe derives the sample's
# listings byte for byte as the goldens (which it could not do if it needed a DLL beside it), also under names in
# UTF-16 beyond the ANSI code page, and refuses what Windows takes for the source again or for a read-only file;
# the silent uninstall leaves nothing. The zip holds the installed files. Runs in the Wine prefix that WINEPREFIX names (the build's, which
# the other Windows tests share), after taking away what an earlier, interrupted run of this test left there.
#
#   windows-packages-test.sh SETUP.exe WINDOWS.zip GOLDEN-FOLDER
#
# Prints one line per check and closes with "N passed, N failed"; exits 1 if any check failed.
set -uo pipefail
[ "$#" -eq 3 ] || { echo "usage: windows-packages-test.sh SETUP.exe WINDOWS.zip GOLDEN-FOLDER" >&2; exit 2; }
setup=$(realpath "$1") zip=$(realpath "$2") goldens=$(realpath "$3")
wine=${VELTRIN_WINE:-wine}
export LC_ALL=C.UTF-8  # Wine turns the arguments into UTF-16 as the locale says; the names below are UTF-8
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

run="$work/Carpeta ñ λ 日本"
mkdir "$run" && cp "$installed/examples/Spectrum128_ROM0.asm" "$run/"
cli() { (cd "$run" && "$wine" "$installed/veltrin-cli.exe" "$@" 2>&1 >/dev/null | tr -d '\r'); }
cli --quiet
listings=(Spectrum+2_ROM0.asm Spectrum+2_Spanish_ROM0.asm Spectrum+2_French_ROM0.asm)
for listing in "${listings[@]}"; do
    check "the installed veltrin-cli.exe derives $listing" cmp "$run/$listing" "$goldens/$listing"
done
names=("Inglés λ.asm" "Español ñ 日本.asm" "Français ç Ω.asm")
arguments=(--english "${names[0]}" --spanish="${names[1]}" --french "${names[2]}")
cli "${arguments[@]}"
for index in 0 1 2; do check "${names[index]} holds ${listings[index]}" cmp "$run/${names[index]}" "$goldens/${listings[index]}"; done
(cd "$run" && "$wine" attrib +r "${names[2]}")
check "a read-only listing is refused, its name and folder in UTF-8" grep -qE \
    "${names[2]}\" in the folder \".*${run##*/}\": it is read-only\." <<<"$(cli "${arguments[@]}")"
check "the source named in another case is refused" grep -q "Name Error" <<<"$(cli --french SPECTRUM128_ROM0.ASM)"
check "the source named with .\\ is refused" grep -q "Name Error" <<<"$(cli --spanish '.\Spectrum128_ROM0.asm')"
check "the source is left as it was" cmp "$run/Spectrum128_ROM0.asm" "$installed/examples/Spectrum128_ROM0.asm"

mkdir "$work/zip" && (cd "$work/zip" && cmake -E tar xf "$zip")
for file in "${files[@]}"; do check "the zip holds $file as installed" cmp "$work/zip/"*/"$file" "$installed/$file"; done

"$wine" "$installed/uninstall.exe" /S
check "the uninstaller removes the installed folder" eventually test ! -e "$installed"
check "the uninstaller removes the Start menu entry" test ! -e "$entry"
check "the uninstaller removes its entry in Apps & features" eventually bash -c "! '$wine' reg query '$uninstall_key'"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
