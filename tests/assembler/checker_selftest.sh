#!/usr/bin/env bash
# Shows that check_assembles.sh tells a good listing from a bad one: each faulty listing below must be
# rejected with its own diagnosis, and the good ones accepted.
#
#   checker_selftest.sh SAMPLE
set -uo pipefail

[ "$#" -eq 1 ] || { echo "usage: checker_selftest.sh SAMPLE" >&2; exit 1; }
check="$(cd "$(dirname "$0")" && pwd)/check_assembles.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/checker_selftest.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
failures=0

# expect NAME pass|fail "TEXT IN DIAGNOSIS" LISTING [OPTION...]
expect() {
    bash "$check" "${@:5}" "$4" >"$work/out" 2>&1
    local status=$?
    if { [ "$2" = pass ] && [ "$status" -ne 0 ]; } || { [ "$2" = fail ] && [ "$status" -ne 1 ]; } ||
        ! grep -qF -- "$3" "$work/out"; then
        echo "FAIL: $1: expected to $2 saying \"$3\", got status $status:" >&2
        sed 's/^/    /' "$work/out" >&2
        failures=$((failures + 1))
    else
        echo "ok: $1"
    fi
}
listing() { local file=$1; shift; printf '%s\r\n' "$@" >"$work/$file"; }

listing whole.asm "#DEFINE DEFB .BYTE" "        ORG  \$0000" "L0000:  DI" "L0001:  DEFS 16381" "L3FFE:  DEFB \$00" \
    "L3FFF:  DEFB \$01"
expect "a whole ROM with every label in place" pass "all 4 address labels" "$work/whole.asm"
expect "a required label that is missing" fail "does not define the label L2744" "$work/whole.asm" \
    --require-label L2744
listing shifted.asm "        ORG  \$0000" "L0000:  DEFB \$00, \$00" "L0001:  DEFS 16381" "L3FFF:  DEFB \$01"
expect "a label one byte late" fail "label L0001 is at \$0002, +1 bytes from \$0001" "$work/shifted.asm"
listing short.asm "        ORG  \$0000" "L0000:  DEFS 16383"
expect "a ROM one byte short" fail "16383 bytes, 1 short of 16384" "$work/short.asm"

expect "the sample" pass "OK" "$1"
# The sample with one byte taken out of a routine: every label after it moves.
awk '!done && /^        DEFB \$FF\r?$/ { done = 1; next } { print }' "$1" >"$work/sample_short.asm"
expect "the sample less one byte" fail "not at their addresses" "$work/sample_short.asm"

[ "$failures" -eq 0 ] || { echo "checker_selftest: $failures case(s) failed" >&2; exit 1; }
echo "checker_selftest: all cases passed"
