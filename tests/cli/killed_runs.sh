#!/usr/bin/env bash
# Ends runs at random points of large listings and shows that every listing is then the complete old or the complete
# new one: veltrin-cli and the window by SIGTERM, SIGINT and SIGHUP, which they take as Exit, at once and with nothing
# left; by SIGKILL, once the next run has put back what was left. Then starts a second run the moment the first one
# rewrites a listing, with the same names or others in the same folder, and shows that the second touches nothing of
# the first's: the first says "Done!" and leaves every listing new. The English and Spanish listings take their
# names anew; the French one has a second name, so it is rewritten in place.
#
#   killed_runs.sh VELTRIN-CLI SAMPLE [RUNS] [WINDOW-RUN [ARGUMENT...]]
#
# WINDOW-RUN starts the window with Create pressed at once and prints the status that the run leaves. VELTRIN_RUNNER
# runs veltrin-cli and WINDOW-RUN (wine, for the Windows programs), VELTRIN_SIGNALS names the signals (under Wine, INT is
# Ctrl-C and KILL ends the program as Task Manager does), VELTRIN_STATE_FOLDER is where backups go if not in
# $XDG_STATE_HOME (%LOCALAPPDATA%\veltrin in the Wine prefix).
set -uo pipefail
set -m  # background runs of their own, which take Ctrl-C as a foreground run would

[ "$#" -ge 2 ] || { echo "usage: killed_runs.sh VELTRIN-CLI SAMPLE [RUNS] [WINDOW-RUN [ARGUMENT...]]" >&2; exit 2; }
cli=$(realpath "$1") sample=$(realpath "$2") runs=${3:-30} window=${4:+$(realpath "$4")} window_arguments=("${@:5}")
work=$(mktemp -d "${TMPDIR:-/tmp}/veltrin-killed.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
export XDG_STATE_HOME=$work/state QT_QPA_PLATFORM=offscreen
state=${VELTRIN_STATE_FOLDER:-$XDG_STATE_HOME} runner=(${VELTRIN_RUNNER:-})
read -ra signals <<<"${VELTRIN_SIGNALS:-TERM INT HUP KILL}"
outputs=(Spectrum+2_ROM0.asm Spectrum+2_Spanish_ROM0.asm Spectrum+2_French_ROM0.asm)
fail() { echo "killed_runs: FAIL: $*" >&2; exit 1; }

# Two large sources that differ at their first and last lines: 150,000 comment lines before the banner routine,
# which every model copies, make each listing some 7 MB.
banner=$(grep -n '^L3852:' "$sample" | cut -d: -f1)
{
    head -n "$((banner - 1))" "$sample"
    for ((i = 0; i < 150000; i++)); do printf '; Filler line %d of a long annotation.\r\n' "$i"; done
    tail -n "+$banner" "$sample"
} >old.asm || exit 2
sed 's/^; Release Date/; Release date/' old.asm >new.asm
for version in old new; do
    mkdir "$version" && (cd "$version" && "${runner[@]}" "$cli" --source ../$version.asm >/dev/null) || fail "a full run from $version.asm"
done
# A source that the English script rejects at once: a run from it puts back what a run left, and writes nothing.
sed 's/^; Release Date/; Release/' old.asm >broken.asm

# mkdir out; the listings of the old source, the French one with a second name; the window's source is new.asm.
reset() { for name in "${outputs[@]}"; do cat "old/$name" >"out/$name"; done; }
mkdir out && reset && ln out/Spectrum+2_French_ROM0.asm out/french-link.asm && cp new.asm out/Spectrum128_ROM0.asm
# Every listing is old or new (all new after "Done!"), and no staging file or backup is left.
check() {
    for name in "${outputs[@]}"; do
        cmp -s "out/$name" "new/$name" || { [ "$2" != Done! ] && cmp -s "out/$name" "old/$name"; } ||
            fail "$1: $name is neither the old nor the new listing${2:+ after $2}"
    done
    left=$(find out "$state" -name '.vlt*' -o -name '*.vlt-old' | wc -l)
    [ "$left" -eq 0 ] || fail "$1: $left staging files or backups left: $(ls -A out "$state"/*)"
    cmp -s out/french-link.asm out/Spectrum+2_French_ROM0.asm || fail "$1: the French listing lost its other name"
}
# run PROGRAM: starts veltrin-cli or the window (which stays open once its run is over) on new.asm
run() {
    local command=("${runner[@]}" "$cli" --source ../new.asm)
    [ "$1" = window ] && command=("${runner[@]}" "$window" "${window_arguments[@]}")
    : >out.txt
    (cd out && exec "${command[@]}" >../out.txt 2>/dev/null) &
    pid=$!
}
last_line() { tail -n 1 out.txt | tr -d '\r'; }  # veltrin-cli.exe ends its lines as Windows does
# Waits for the run, and checks the listings; after SIGKILL, once the next run has put back what was left.
after() {
    timeout 60 tail --pid="$pid" -f /dev/null || fail "$1: it did not end"
    wait "$pid" 2>/dev/null; status=$?
    [ "$signal" = KILL ] && (cd out && "${runner[@]}" "$cli" --source ../broken.asm >/dev/null 2>&1)
    check "$1" "$(last_line)"
}

programs=(cli ${window:+window})
# How long each program takes from its start to the end of its run in place, in microseconds: the window starts slower.
declare -A durations
for program in "${programs[@]}"; do
    reset
    start=$(date +%s%N)
    run "$program"
    until [ -s out.txt ] || ! kill -0 "$pid" 2>/dev/null; do sleep 0.01; done
    durations[$program]=$((($(date +%s%N) - start) / 1000))
    # A window that is done waits for its end, longer than it takes to look for a request to end; the Windows window is
    # closed by its driver once the run is done.
    sleep 0.5 && { [[ $program = cli || -n ${runner[*]} ]] || kill -s TERM "$pid"; } || fail "the window ended by itself"
    wait "$pid"
    [ "$(last_line)" = Done! ] || fail "a full $program run in place"
done
for program in "${programs[@]}"; do
    for ((run = 0; run < runs; run++)); do
        reset
        signal=${signals[run % ${#signals[@]}]}
        run "$program"
        delay=$(((RANDOM << 15 | RANDOM) % durations[$program]))
        sleep "$(printf '%d.%06d' $((delay / 1000000)) $((delay % 1000000)))"
        kill -s "$signal" "$pid" 2>/dev/null
        after "$program run $run (SIG$signal)"
        [[ $program = window || $signal:$status =~ ^(.*:0|KILL:137|TERM:143|INT:130|HUP:129)$ ]] ||
            fail "run $run: SIG$signal ended veltrin-cli with status $status"
    done
done
# Killed the moment the French listing's backup has its name, which it may only have once it is whole; then second
# runs, one after the other for as long as the first goes on, which the first holds off, or which leave its staging
# files (with other names in the same folder).
for ((run = 0; run < runs; run++)); do
    reset
    signal=$([ "$run" -lt 3 ] && echo KILL)
    others=()
    [ $((run / 2 % 2)) = 1 ] && others=(--english a.asm --spanish b.asm --french c.asm)
    run "${programs[run % ${#programs[@]}]}"
    # Once the first run holds its listings: one that came before it would refuse it, as it should.
    until [ -n "$(find out "$state" -name '.vlt*' -o -name '*.vlt-old' 2>/dev/null)" ] || [ -s out.txt ] ||
        ! kill -0 "$pid" 2>/dev/null; do :; done
    until [ -n "$signal" ] || [ -s out.txt ] || ! kill -0 "$pid" 2>/dev/null; do
        (cd out && "${runner[@]}" "$cli" --source ../broken.asm "${others[@]}" >/dev/null 2>&1)
    done
    until [ -z "$signal" ] || [ -n "$(find out "$state" -name '*.vlt-old' 2>/dev/null)" ] || [ -s out.txt ] ||
        ! kill -0 "$pid" 2>/dev/null; do :; done
    kill -s "${signal:-TERM}" "$pid" 2>/dev/null  # a window that is done waits for its end
    after "run $run${signal:+ at the backup, SIGKILL}"
    [ -n "$signal" ] || [ "$(last_line)" = Done! ] || fail "run $run: a second run made the first fail"
done
# The listings rewritten in place had their backups in the user's state folder, under the name that the README gives
# (which an earlier run of these tests may have made already).
[ -n "$(find "$state" -path '*/veltrin' -newermt @$((start / 10**9)) 2>/dev/null)" ] || fail "no backups in $state"
echo "killed_runs: OK: $runs runs of each program ended at random points (${durations[*]} µs), $runs run twice"
