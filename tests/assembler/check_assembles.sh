#!/usr/bin/env bash
# Proves that a ROM 0 listing assembles to a whole ROM with every address label where its name says.
#
#   check_assembles.sh [--require-label LXXXX]... LISTING
#
# The listing is copied, every line that starts with "#" (the #DEFINE lines for other assemblers) is turned
# into a comment, and the copy is assembled with pasmo from ORG $0000. The check passes when pasmo succeeds,
# the binary is exactly 16,384 bytes, the listing defines at least one address label, every symbol named
# "L" and four hexadecimal digits has the value that its digits spell, and every --require-label is defined.
# Exit status 0 on success, 1 on any failure (a missing pasmo included), with the reason on standard error.
set -uo pipefail

readonly rom_size=16384
required=()

fail() {
    echo "check_assembles: FAIL: $*" >&2
    exit 1
}

while [ "$#" -gt 0 ]; do
    case "$1" in
        --require-label)
            [ "$#" -ge 2 ] || fail "--require-label needs a label"
            [[ "$2" =~ ^L[0-9A-F]{4}$ ]] || fail "--require-label wants L and four upper-case hexadecimal digits, not '$2'"
            required+=("$2")
            shift 2
            ;;
        -*) fail "unknown option '$1'" ;;
        *) break ;;
    esac
done
[ "$#" -eq 1 ] || fail "usage: check_assembles.sh [--require-label LXXXX]... LISTING"
listing=$1
[ -f "$listing" ] || fail "no listing at '$listing'"
[ -s "$listing" ] || fail "the listing '$listing' is empty"
command -v pasmo >/dev/null 2>&1 || fail "pasmo is not installed (scripts/install-deps.sh installs it); the check cannot run without it"

work=$(mktemp -d "${TMPDIR:-/tmp}/check_assembles.XXXXXX") || fail "cannot create a work folder"
trap 'rm -rf "$work"' EXIT

# Lines for other assemblers ("#DEFINE ...") become comments; nothing else changes.
sed 's/^#/;#/' "$listing" >"$work/listing.asm" || fail "cannot copy '$listing'"

if ! pasmo "$work/listing.asm" "$work/rom.bin" "$work/rom.sym" >"$work/pasmo.out" 2>&1; then
    echo "pasmo output:" >&2
    sed 's/^/    /' "$work/pasmo.out" >&2
    fail "pasmo could not assemble '$listing'"
fi

# Every problem found is reported, the misplaced labels first: the first of them shows where the bytes of
# the listing stop matching its labels.
problems=0
problem() {
    echo "check_assembles: FAIL: $*" >&2
    problems=$((problems + 1))
}

# pasmo writes one "NAME<tabs>EQU 0XXXXH" line per symbol, in name order.
labels=0
wrong=0
declare -A defined=()
while read -r name equ value; do
    [ "$equ" = "EQU" ] || continue
    [[ "$name" =~ ^L[0-9A-Fa-f]{4}$ ]] || continue
    labels=$((labels + 1))
    want=$((16#${name:1:4}))
    got=$((16#${value%H}))
    defined[${name^^}]=1
    if [ "$want" -ne "$got" ]; then
        wrong=$((wrong + 1))
        if [ "$wrong" -le 20 ]; then
            printf 'check_assembles: label %s is at $%04X, %+d bytes from $%04X\n' \
                "$name" "$got" "$((got - want))" "$want" >&2
        fi
    fi
done <"$work/rom.sym"

if [ "$labels" -eq 0 ]; then
    problem "'$listing' defines no address label (L and four hexadecimal digits)"
elif [ "$wrong" -gt 0 ]; then
    problem "$wrong of $labels address labels of '$listing' are not at their addresses"
fi

size=$(stat -c %s "$work/rom.bin" 2>/dev/null || echo 0)
if [ "$size" -lt "$rom_size" ]; then
    problem "'$listing' assembles to $size bytes, $((rom_size - size)) short of $rom_size"
elif [ "$size" -gt "$rom_size" ]; then
    problem "'$listing' assembles to $size bytes, $((size - rom_size)) more than $rom_size"
fi

for label in "${required[@]}"; do
    [ -n "${defined[$label]:-}" ] || problem "'$listing' does not define the label $label"
done

[ "$problems" -eq 0 ] || exit 1
echo "check_assembles: OK: '$listing' assembles to $size bytes with all $labels address labels at their addresses"
exit 0
