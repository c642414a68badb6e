#!/usr/bin/env bash
# Checks each golden +2 listing with check_assembles.sh, requiring the labels that its model's table names.
#
#   check_derived.sh MODEL-LABELS-PROGRAM FOLDER
#
# MODEL-LABELS-PROGRAM prints a line a model: the listing's name in FOLDER, then its labels.
set -uo pipefail

[ "$#" -eq 2 ] || { echo "usage: check_derived.sh MODEL-LABELS-PROGRAM FOLDER" >&2; exit 1; }
check="$(cd "$(dirname "$0")" && pwd)/check_assembles.sh"
table=$("$1") || { echo "check_derived: FAIL: $1 did not list the models" >&2; exit 1; }
[ -n "$table" ] || { echo "check_derived: FAIL: $1 listed no model" >&2; exit 1; }

status=0
while read -r name labels; do
    required=()
    for label in $labels; do required+=(--require-label "$label"); done
    bash "$check" "${required[@]}" "$2/$name" || status=1
done <<<"$table"
exit "$status"
