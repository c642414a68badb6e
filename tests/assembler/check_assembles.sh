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
fail() { echo "check_assembles: FAIL: $*" >&2; exit 1; }

required=()
while [ "$#" -gt 1 ] && [ "$1" = --require-label ]; do
    [[ "$2" =~ ^L[0-9A-F]{4}$ ]] || fail "--require-label wants L and four upper-case hexadecimal digits, not '$2'"
    required+=("$2")
    shift 2
done
[ "$#" -eq 1 ] || fail "usage: check_assembles.sh [--require-label LXXXX]... LISTING"
listing=$1
[ -s "$listing" ] || fail "no listing, or an empty one, at '$listing'"
command -v pasmo >/dev/null 2>&1 || fail "pasmo is not installed (scripts/install-deps.sh installs it)"

work=$(mktemp -d "${TMPDIR:-/tmp}/check_assembles.XXXXXX") || fail "cannot create a work folder"
trap 'rm -rf "$work"' EXIT
sed 's/^#/;#/' "$listing" >"$work/listing.asm" || fail "cannot copy '$listing'"
if ! pasmo "$work/listing.asm" "$work/rom.bin" "$work/rom.sym" >"$work/pasmo.out" 2>&1; then
    sed 's/^/    /' "$work/pasmo.out" >&2
    fail "pasmo could not assemble '$listing'"
fi

# Every problem is reported, the misplaced labels first: the first of them shows where the bytes of the
# listing stop matching its labels. pasmo writes one "NAME<tabs>EQU 0XXXXH" line per symbol, in name order.
problems=0
problem() { echo "check_assembles: FAIL: $*" >&2; problems=$((problems + 1)); }
labels=0
wrong=0
while read -r name equ value; do
    [ "$equ" = "EQU" ] && [[ "$name" =~ ^L[0-9A-Fa-f]{4}$ ]] || continue
    labels=$((labels + 1))
    want=$((16#${name:1:4}))
    got=$((16#${value%H}))
    if [ "$want" -ne "$got" ] && [ $((++wrong)) -le 20 ]; then
        printf 'check_assembles: label %s is at $%04X, %+d bytes from $%04X\n' "$name" "$got" "$((got - want))" \
            "$want" >&2
    fi
done <"$work/rom.sym"
[ "$labels" -gt 0 ] || problem "'$listing' defines no address label (L and four hexadecimal digits)"
[ "$wrong" -eq 0 ] || problem "$wrong of $labels address labels of '$listing' are not at their addresses"

size=$(stat -c %s "$work/rom.bin" 2>/dev/null || echo 0)
[ "$size" -ge "$rom_size" ] || problem "'$listing' assembles to $size bytes, $((rom_size - size)) short of $rom_size"
[ "$size" -le "$rom_size" ] || problem "'$listing' assembles to $size bytes, $((size - rom_size)) more than $rom_size"
for label in "${required[@]}"; do
    grep -qiE "^$label[[:space:]]+EQU" "$work/rom.sym" || problem "'$listing' does not define the label $label"
done

[ "$problems" -eq 0 ] || exit 1
echo "check_assembles: OK: '$listing' assembles to $size bytes with all $labels address labels at their addresses"
