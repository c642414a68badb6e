#!/usr/bin/env bash
# Shows that check_assembles.sh tells a good listing from a bad one: each faulty listing below must be
# rejected with its own diagnosis, and the good ones accepted.
#
#   checker_selftest.sh SAMPLE
set -uo pipefail

[ "$#" -eq 1 ] || { echo "usage: checker_selftest.sh SAMPLE" >&2; exit 1; }
sample=$1
here=$(cd "$(dirname "$0")" && pwd)
check="$here/check_assembles.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/checker_selftest.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT

failures=0

# expect NAME pass|fail "TEXT IN DIAGNOSIS" -- COMMAND...
expect() {
    local name=$1 want=$2 text=$3
    shift 4
    "$@" >"$work/out" 2>&1
    local status=$?
    if [ "$want" = pass ] && [ "$status" -ne 0 ]; then
        echo "FAIL: $name: expected the check to pass, it failed:" >&2
        sed 's/^/    /' "$work/out" >&2
        failures=$((failures + 1))
    elif [ "$want" = fail ] && [ "$status" -ne 1 ]; then
        echo "FAIL: $name: expected status 1, got $status:" >&2
        sed 's/^/    /' "$work/out" >&2
        failures=$((failures + 1))
    elif ! grep -qF -- "$text" "$work/out"; then
        echo "FAIL: $name: the output does not say \"$text\":" >&2
        sed 's/^/    /' "$work/out" >&2
        failures=$((failures + 1))
    else
        echo "ok: $name"
    fi
}

# A listing of CR LF lines.
listing() {
    local file=$1
    shift
    printf '%s\r\n' "$@" >"$file"
}

listing "$work/whole.asm" "; title" "#DEFINE DEFB .BYTE" "        ORG  \$0000" "L0000:  DI" "L0001:  DEFS 16381" \
    "L3FFE:  DEFB \$00" "L3FFF:  DEFB \$01"
expect "a whole ROM with every label in place" pass "all 4 address labels" -- bash "$check" "$work/whole.asm"
expect "a required label that is missing" fail "does not define the label L2744" -- \
    bash "$check" --require-label L2744 "$work/whole.asm"

listing "$work/shifted.asm" "        ORG  \$0000" "L0000:  DEFB \$00, \$00" "L0001:  DEFS 16381" "L3FFF:  DEFB \$01"
expect "a label one byte late" fail "label L0001 is at \$0002, +1 bytes from \$0001" -- bash "$check" "$work/shifted.asm"

listing "$work/short.asm" "        ORG  \$0000" "L0000:  DEFS 16383"
expect "a ROM one byte short" fail "16383 bytes, 1 short of 16384" -- bash "$check" "$work/short.asm"

listing "$work/long.asm" "        ORG  \$0000" "L0000:  DEFS 16385"
expect "a ROM one byte long" fail "16385 bytes, 1 more than 16384" -- bash "$check" "$work/long.asm"

# The sample itself, and the sample with a single byte taken out of one routine: every label after it moves.
expect "the sample" pass "OK" -- bash "$check" "$sample"
awk 'BEGIN { done = 0 } !done && /^        DEFB \$FF\r?$/ { done = 1; next } { print }' "$sample" >"$work/sample_short.asm"
if cmp -s "$sample" "$work/sample_short.asm"; then
    echo "FAIL: the sample has no \"        DEFB \$FF\" line to take out" >&2
    failures=$((failures + 1))
else
    expect "the sample less one byte" fail "not at their addresses" -- bash "$check" "$work/sample_short.asm"
fi

if [ "$failures" -ne 0 ]; then
    echo "checker_selftest: $failures case(s) failed" >&2
    exit 1
fi
echo "checker_selftest: all cases passed"
