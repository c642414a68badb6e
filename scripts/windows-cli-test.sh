#!/usr/bin/env bash
# The Windows build of veltrin-cli, run as a process under Wine, on the things that Windows does its own way:
# listing bytes in binary mode (no CR LF translation, no end of file at Ctrl-Z), replacing existing listings,
# the read-only attribute, names that differ only in case, and file names in UTF-16 beyond the ANSI code page.
#
#   windows-cli-test.sh VELTRIN-CLI.EXE SAMPLE.asm NATIVE-VELTRIN-CLI
#
# Every listing must match, byte for byte, the one that veltrin-cli built for this machine derives from the same
# source. Run by ctest in a build made with cmake/mingw-w64-x86_64.cmake, which sets WINEPREFIX and VELTRIN_WINE.
# Prints one line per check and closes with "N passed, N failed"; exits 1 if any check failed.
set -uo pipefail

[ "$#" -eq 3 ] || { echo "usage: windows-cli-test.sh VELTRIN-CLI.EXE SAMPLE.asm NATIVE-VELTRIN-CLI" >&2; exit 2; }
exe=$(realpath "$1")
sample=$(realpath "$2")
native=$(realpath "$3")
wine=${VELTRIN_WINE:-wine}
export WINEDEBUG=${WINEDEBUG:--all}
export LC_ALL=C.UTF-8  # Wine turns the arguments into UTF-16 as the locale says; the names below are UTF-8

passed=0
failed=0
# check DESCRIPTION COMMAND...: runs the command quietly and counts its outcome
check() { if "${@:2}" >/dev/null 2>&1; then passed=$((passed + 1)) && echo "ok:   $1"; else failed=$((failed + 1)) && echo "FAIL: $1"; fi; }
work=$(mktemp -d "${TMPDIR:-/tmp}/veltrin-windows-cli.XXXXXX")
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
outputs=(Spectrum+2_ROM0.asm Spectrum+2_Spanish_ROM0.asm Spectrum+2_French_ROM0.asm)

# folder NAME [SOURCE]: a fresh folder holding the source under its default name
folder() { mkdir -p "$work/$1" && cp "${2:-$sample}" "$work/$1/Spectrum128_ROM0.asm"; }
# run FOLDER ARGUMENTS...: runs the Windows CLI there; sets status and err (CRs removed)
run() { (cd "$work/$1" && "$wine" "$exe" "${@:2}" >"$work/stdout" 2>"$work/stderr"); status=$?; err=$(tr -d '\r' <"$work/stderr"); }
same_as_native() {  # same_as_native FOLDER: each listing equals the native build's from the same source
    mkdir -p "$work/native-$1" && cp "$work/$1/Spectrum128_ROM0.asm" "$work/native-$1/"
    (cd "$work/native-$1" && "$native") || return 1
    for name in "${outputs[@]}"; do cmp -s "$work/$1/$name" "$work/native-$1/$name" || return 1; done
}
attrib_r() { (cd "$(dirname "$1")" && "$wine" attrib +r "$(basename "$1")"); }

folder sample
for name in "${outputs[@]}"; do head -c 200000 /dev/zero | tr '\0' x >"$work/sample/$name"; done
run sample
check "replaces longer listings with the native build's bytes" same_as_native sample
check "no temporary file is left" test -z "$(find "$work/sample" -name '.*' -type f -print -quit)"

# A text-mode read would end the file at the Ctrl-Z; the bare LF belongs to its line on every platform.
LC_ALL=C awk '!done && /^; [A-Za-z]/ { sub(/\r$/, " Ctrl-Z \032 and a bare LF\n here.\r"); done = 1 } { print }' \
    "$sample" >"$work/special.asm"
folder special "$work/special.asm"
run special
check "a source with Ctrl-Z and a bare LF gives the native build's bytes" same_as_native special

folder same
run same --french 'SPECTRUM128_ROM0.ASM'
check "the source named again in other case is refused" test "$status" -eq 1
run same --spanish '.\Spectrum128_ROM0.asm'
check "the source named again with .\\ is refused" test "$status" -eq 1
check "the source is left as it was" cmp -s "$sample" "$work/same/Spectrum128_ROM0.asm"

unicode="Carpeta ñ λ 日本"
folder "$unicode"
names=("Inglés λ.asm" "Español ñ 日本.asm" "Français ç Ω.asm")
run "$unicode" --source "Spectrum128_ROM0.asm" --english "${names[0]}" --spanish="${names[1]}" --french "${names[2]}"
for index in 0 1 2; do
    check "${names[index]} holds the ${outputs[index]} listing" \
        cmp -s "$work/$unicode/${names[index]}" "$work/native-sample/${outputs[index]}"
done
attrib_r "$work/$unicode/${names[2]}"
run "$unicode" --source "Spectrum128_ROM0.asm" --english "${names[0]}" --spanish="${names[1]}" --french "${names[2]}"
check "a read-only listing is refused" test "$status" -eq 1
check "the message spells its name and folder in UTF-8" env LC_ALL=C grep -qE \
    "${names[2]}\" in the folder \".*$unicode\": it is read-only\." <<<"$err"
check "the read-only listing is kept" cmp -s "$work/$unicode/${names[2]}" "$work/native-sample/${outputs[2]}"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
