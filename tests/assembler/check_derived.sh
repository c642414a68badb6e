#!/usr/bin/env bash
# Derives the three +2 listings from a 128 listing with veltrin-cli and proves that one of them assembles.
#
#   check_derived.sh CLI SOURCE OUTDIR english|spanish|french [--require-label LXXXX]...
#
# OUTDIR is emptied first, so that a listing left by an earlier run can never pass for a new one. The CLI
# must succeed and write all three listings; the listing of the named model is then handed to
# check_assembles.sh together with the --require-label options.
set -uo pipefail

fail() {
    echo "check_derived: FAIL: $*" >&2
    exit 1
}

[ "$#" -ge 4 ] || fail "usage: check_derived.sh CLI SOURCE OUTDIR english|spanish|french [--require-label LXXXX]..."
cli=$1
source_listing=$2
outdir=$3
model=$4
shift 4

here=$(cd "$(dirname "$0")" && pwd)
[ -x "$cli" ] || fail "no veltrin-cli at '$cli'"
[ -f "$source_listing" ] || fail "no source listing at '$source_listing'"

rm -rf "$outdir" && mkdir -p "$outdir" || fail "cannot prepare '$outdir'"
english="$outdir/Spectrum+2_ROM0.asm"
spanish="$outdir/Spectrum+2_Spanish_ROM0.asm"
french="$outdir/Spectrum+2_French_ROM0.asm"

case "$model" in
    english) listing=$english ;;
    spanish) listing=$spanish ;;
    french) listing=$french ;;
    *) fail "unknown model '$model'" ;;
esac

"$cli" --source "$source_listing" --english "$english" --spanish "$spanish" --french "$french" \
    >"$outdir/cli.out" 2>&1
status=$?
if [ "$status" -ne 0 ]; then
    sed 's/^/    /' "$outdir/cli.out" >&2
    fail "veltrin-cli ended with status $status"
fi
for written in "$english" "$spanish" "$french"; do
    [ -s "$written" ] || fail "veltrin-cli reported success but wrote no '$written'"
done

exec bash "$here/check_assembles.sh" "$@" "$listing"
