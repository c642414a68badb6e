#!/usr/bin/env bash
# The Windows build of veltrin-cli, run as a process under Wine, on the things that Windows does its own way:
# listing bytes in binary mode (no CR LF translation, no end of file at Ctrl-Z), replacing existing listings by
# rename, the read-only attribute, and file names in UTF-16 beyond the ANSI code page.
#
#   windows-cli-test.sh VELTRIN-CLI.EXE SAMPLE.asm [NATIVE-VELTRIN-CLI]
#
# With a veltrin-cli built for this machine, every listing must match its listing of the same source byte for
# byte. Run by ctest in a build made with cmake/mingw-w64-x86_64.cmake, which sets WINEPREFIX and VELTRIN_WINE.
# Prints one line per check and closes with "N passed, N failed"; exits 1 if any check failed.
set -uo pipefail

if [ "$#" -lt 2 ] || [ "$#" -gt 3 ]; then
    echo "usage: windows-cli-test.sh VELTRIN-CLI.EXE SAMPLE.asm [NATIVE-VELTRIN-CLI]" >&2
    exit 2
fi
exe=$(realpath "$1")
sample=$(realpath "$2")
native=${3:+$(realpath "$3")}
wine=${VELTRIN_WINE:-wine}
export WINEDEBUG=${WINEDEBUG:--all}
# Wine turns the arguments into UTF-16 as the locale's encoding says; the names below are UTF-8.
export LC_ALL=C.UTF-8

passed=0
failed=0
check() {  # check DESCRIPTION COMMAND...: runs the command quietly and counts its outcome
    local description=$1
    shift
    if "$@" >/dev/null 2>&1; then
        passed=$((passed + 1))
        echo "ok:   $description"
    else
        failed=$((failed + 1))
        echo "FAIL: $description"
    fi
}

for file in "$exe" "$sample" ${native:+"$native"}; do
    [ -f "$file" ] || { echo "FAIL: no file '$file'"; echo "0 passed, 1 failed"; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/veltrin-windows-cli.XXXXXX")
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT

# run FOLDER ARGUMENTS...: runs the Windows CLI in FOLDER; sets status, out (CRs removed) and err.
run() {
    local folder=$1
    shift
    (cd "$folder" && "$wine" "$exe" "$@" >"$work/stdout" 2>"$work/stderr")
    status=$?
    out=$(tr -d '\r' <"$work/stdout")
    err=$(tr -d '\r' <"$work/stderr")
}
last_line() { printf '%s\n' "$1" | tail -n 1; }
outputs=(Spectrum+2_ROM0.asm Spectrum+2_Spanish_ROM0.asm Spectrum+2_French_ROM0.asm)
same_bytes() { cmp -s "$1" "$2"; }
crlf_only() {  # every line of the file ends in CR LF: no bare LF, no CR CR LF
    ! LC_ALL=C grep -q $'\r\r' "$1" && [ "$(LC_ALL=C grep -c $'\r$' "$1")" -eq "$(wc -l <"$1")" ]
}
no_leftovers() { [ -z "$(find "$1" -name '.*.tmp*' -print -quit)" ]; }

# A second source: the sample with a Ctrl-Z and a bare LF in a comment of its header. A text-mode read would
# end the file at the Ctrl-Z; the bare LF belongs to its line on every platform.
special="$work/special"
mkdir -p "$special"
LC_ALL=C awk '!done && /^; [A-Za-z]/ { sub(/\r$/, " Ctrl-Z \032 and a bare LF\n here.\r"); done = 1 } { print }' \
    "$sample" >"$special/Spectrum128_ROM0.asm"

# The listings that this machine's veltrin-cli writes, to compare with.
reference="$work/reference"
if [ -n "$native" ]; then
    mkdir -p "$reference/sample" "$reference/special"
    cp "$sample" "$reference/sample/Spectrum128_ROM0.asm"
    cp "$special/Spectrum128_ROM0.asm" "$reference/special/"
    (cd "$reference/sample" && "$native" >/dev/null 2>&1) || echo "note: the native veltrin-cli failed"
    (cd "$reference/special" && "$native" >/dev/null 2>&1) || echo "note: the native veltrin-cli failed"
fi
matches_reference() {  # matches_reference FILE KIND NAME
    [ -n "$native" ] && same_bytes "$1" "$reference/$2/$3"
}

# --version and --help
run "$work" --version
check "--version exits 0" test "$status" -eq 0
if [ -n "$native" ]; then
    check "--version prints what the native build prints" test "$out" = "$("$native" --version)"
fi
run "$work" --sauce x.asm
check "an unknown option exits 2" test "$status" -eq 2

# The sample, under the default names
fresh="$work/fresh"
mkdir -p "$fresh"
cp "$sample" "$fresh/Spectrum128_ROM0.asm"
run "$fresh"
check "converts the sample: exit 0" test "$status" -eq 0
check "converts the sample: last line Done!" test "$(last_line "$out")" = "Done!"
check "converts the sample: no messages" test -z "$err"
for name in "${outputs[@]}"; do
    check "writes $name" test -s "$fresh/$name"
    check "$name has CR LF line ends only" crlf_only "$fresh/$name"
    if [ -n "$native" ]; then
        check "$name matches the native build byte for byte" matches_reference "$fresh/$name" sample "$name"
    fi
done
check "the source is left as it was" same_bytes "$sample" "$fresh/Spectrum128_ROM0.asm"
check "no temporary file is left" no_leftovers "$fresh"

# The source under another spelling of its name (Windows names ignore case; \ separates folders) is refused
same="$work/same"
mkdir -p "$same"
cp "$sample" "$same/Spectrum128_ROM0.asm"
run "$same" --french 'SPECTRUM128_ROM0.ASM'
check "the source named again in other case is refused: exit 1" test "$status" -eq 1
check "the source named again in other case is left as it was" same_bytes "$sample" "$same/Spectrum128_ROM0.asm"
run "$same" --spanish '.\Spectrum128_ROM0.asm'
check "the source named again with .\\ is refused: exit 1" test "$status" -eq 1
check "the source named again with .\\ is left as it was" same_bytes "$sample" "$same/Spectrum128_ROM0.asm"

# Ctrl-Z and a bare LF pass through unchanged
run "$special"
check "converts the source with Ctrl-Z and a bare LF: exit 0" test "$status" -eq 0
check "the Ctrl-Z and the bare LF reach the listing" \
    env LC_ALL=C grep -q $'Ctrl-Z \x1a and a bare LF$' "$special/Spectrum+2_ROM0.asm"
if [ -n "$native" ]; then
    for name in "${outputs[@]}"; do
        check "$name of that source matches the native build" matches_reference "$special/$name" special "$name"
    done
fi

# Existing listings are replaced
replace="$work/replace"
mkdir -p "$replace"
cp "$sample" "$replace/Spectrum128_ROM0.asm"
for name in "${outputs[@]}"; do
    # Longer than the new listing, so that a write over the old bytes would leave a tail behind.
    head -c 200000 /dev/zero | tr '\0' 'x' >"$replace/$name"
done
run "$replace"
check "replaces existing listings: exit 0" test "$status" -eq 0
check "replaces existing listings: last line Done!" test "$(last_line "$out")" = "Done!"
for name in "${outputs[@]}"; do
    check "$name is replaced by the new listing" same_bytes "$replace/$name" "$fresh/$name"
done
check "no temporary file is left after replacing" no_leftovers "$replace"

# A read-only listing is refused and kept
readonly_folder="$work/readonly"
mkdir -p "$readonly_folder"
cp "$sample" "$readonly_folder/Spectrum128_ROM0.asm"
printf 'kept\r\n' >"$readonly_folder/Spectrum+2_Spanish_ROM0.asm"
(cd "$readonly_folder" && "$wine" attrib +r 'Spectrum+2_Spanish_ROM0.asm' >/dev/null 2>&1)
attributes=$(cd "$readonly_folder" && "$wine" attrib 'Spectrum+2_Spanish_ROM0.asm' 2>/dev/null | tr -d '\r')
check "attrib +r sets the read-only attribute" env LC_ALL=C grep -q '^ *[A-Z ]*R[A-Z ]* .*Spectrum+2_Spanish_ROM0.asm' \
    <<<"$attributes"
run "$readonly_folder"
check "refuses a read-only listing: exit 1" test "$status" -eq 1
check "refuses a read-only listing: last line Error!" test "$(last_line "$out")" = "Error!"
check "refuses a read-only listing: says it is read-only" \
    env LC_ALL=C grep -q '"Spectrum+2_Spanish_ROM0.asm" is read-only' <<<"$err"
check "the read-only listing is kept" test "$(cat "$readonly_folder/Spectrum+2_Spanish_ROM0.asm")" = $'kept\r'
check "no temporary file is left after the refusal" no_leftovers "$readonly_folder"

# Names beyond the ANSI code page, in a folder with such a name
unicode="$work/unicode"
folder="Carpeta ñ λ 日本"
mkdir -p "$unicode/$folder"
source_name="Fuente ROM 128 ñ λ 日本.asm"
english_name="Inglés λ.asm"
spanish_name="Español ñ 日本.asm"
french_name="Français ç Ω.asm"
cp "$sample" "$unicode/$folder/$source_name"
run "$unicode" --source "$folder/$source_name" --english "$folder/$english_name" \
    --spanish="$folder/$spanish_name" --french "$folder/$french_name"
check "non-ASCII names: exit 0" test "$status" -eq 0
check "non-ASCII names: last line Done!" test "$(last_line "$out")" = "Done!"
check "non-ASCII names: $english_name is the English listing" \
    same_bytes "$unicode/$folder/$english_name" "$fresh/Spectrum+2_ROM0.asm"
check "non-ASCII names: $spanish_name is the Spanish listing" \
    same_bytes "$unicode/$folder/$spanish_name" "$fresh/Spectrum+2_Spanish_ROM0.asm"
check "non-ASCII names: $french_name is the French listing" \
    same_bytes "$unicode/$folder/$french_name" "$fresh/Spectrum+2_French_ROM0.asm"
check "non-ASCII names: nothing is written under another name" \
    test "$(find "$unicode" -type f | wc -l)" -eq 4
(cd "$unicode/$folder" && "$wine" attrib +r "$french_name" >/dev/null 2>&1)
run "$unicode" --source "$folder/$source_name" --english "$folder/$english_name" \
    --spanish="$folder/$spanish_name" --french "$folder/$french_name"
check "non-ASCII names: a read-only one is refused" test "$status" -eq 1
check "non-ASCII names: the message spells the name in UTF-8" \
    env LC_ALL=C grep -qF "$french_name\" is read-only" <<<"$err"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
