#!/usr/bin/env bash
# Ends veltrin-cli at random points of large runs, with SIGKILL, SIGTERM and SIGINT in turn, and shows that every
# listing is the complete old or the complete new one once the next run has started, with no staging file or
# backup left. The English and Spanish listings take their names anew; the French one has a second name, so it is
# rewritten in place.
#
#   killed_runs.sh VELTRIN-CLI SAMPLE [RUNS]
set -uo pipefail
set -m  # background runs of their own, which take Ctrl-C as a foreground run would

[ "$#" -ge 2 ] || { echo "usage: killed_runs.sh VELTRIN-CLI SAMPLE [RUNS]" >&2; exit 2; }
cli=$(realpath "$1")
sample=$(realpath "$2")
runs=${3:-30}
work=$(mktemp -d "${TMPDIR:-/tmp}/veltrin-killed.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
outputs=(Spectrum+2_ROM0.asm Spectrum+2_Spanish_ROM0.asm Spectrum+2_French_ROM0.asm)
fail() { echo "killed_runs: FAIL: $*" >&2; exit 1; }

# Two large sources that differ at their first and last lines: 150,000 comment lines before the banner routine,
# which every model copies, make each listing some 7 MB.
filler=$(mktemp "$work/filler.XXXXXX")
for ((i = 0; i < 150000; i++)); do printf '; Filler line %d of a long annotation.\r\n' "$i"; done >"$filler"
banner=$(grep -n '^L3852:' "$sample" | cut -d: -f1)
{ head -n "$((banner - 1))" "$sample" && cat "$filler" && tail -n "+$banner" "$sample"; } >old.asm || exit 2
sed 's/^; Release Date/; Release date/' old.asm >new.asm
for version in old new; do
    mkdir "$version" && (cd "$version" && "$cli" --source ../$version.asm >/dev/null) || fail "a full run from $version.asm"
done
# A source that the English script rejects at once: the run after a killed one puts back what it left, then stops.
sed 's/^; Release Date/; Release/' old.asm >broken.asm

# mkdir out; the listings of the old source, the French one with a second name.
reset() {
    for name in "${outputs[@]}"; do cat "old/$name" >"out/$name"; done
}
mkdir out && reset && ln out/Spectrum+2_French_ROM0.asm out/french-link.asm
start=$(date +%s%N)
(cd out && "$cli" --source ../new.asm >/dev/null) || fail "a full run in place"
duration=$((($(date +%s%N) - start) / 1000))  # microseconds
# After a run ended by a signal: the next run puts back what it left, and then every listing is old or new.
check_after() {
    (cd out && "$cli" --source ../broken.asm >/dev/null 2>&1)
    for name in "${outputs[@]}"; do
        cmp -s "out/$name" "old/$name" || cmp -s "out/$name" "new/$name" ||
            fail "$1: $name is neither the old nor the new listing"
    done
    left=$(find out -name '.vlt*' -o -name '*.vlt-old' | wc -l)
    [ "$left" -eq 0 ] || fail "$1: $left staging files or backups left: $(ls -A out)"
    cmp -s out/french-link.asm out/Spectrum+2_French_ROM0.asm || fail "$1: the French listing lost its other name"
}

signals=(KILL TERM INT)
for ((run = 0; run < runs; run++)); do
    reset
    signal=${signals[run % 3]}
    (cd out && exec "$cli" --source ../new.asm >/dev/null 2>&1) &
    pid=$!
    delay=$(((RANDOM << 15 | RANDOM) % duration))
    sleep "$(printf '%d.%06d' $((delay / 1000000)) $((delay % 1000000)))"
    kill -s "$signal" "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    status=$?
    case "$signal:$status" in
        *:0 | KILL:137 | TERM:143 | INT:130) ;;
        *) fail "run $run: SIG$signal ended veltrin-cli with status $status" ;;
    esac
    check_after "run $run (SIG$signal)"
done
# Killed the moment the French listing's backup has its name, which it may only have once it is whole.
for ((run = 0; run < 3; run++)); do
    reset
    (cd out && exec "$cli" --source ../new.asm >/dev/null 2>&1) &
    pid=$!
    while [ ! -e out/.Spectrum+2_French_ROM0.asm.vlt-old ] && kill -0 "$pid" 2>/dev/null; do :; done
    kill -s KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    check_after "run killed at the backup $run"
done
echo "killed_runs: OK: $runs runs of $((duration / 1000)) ms ended at random points; every listing old or new"
