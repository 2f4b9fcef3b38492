#!/usr/bin/env bash
# Times culvex-extract as a whole process on a generated CSV of about 1 GiB in the page
# cache, rounds interleaved (each command once per round), and prints each command's
# median wall seconds and peak resident memory, and the ratios of those medians:
#   lines      culvex-extract --comma FILE                 (against an older build, if given)
#   records    culvex-extract --comma --start 2 --end 3 --format records FILE
#   cut        cut -d, -f2-3 FILE
# Then how long a row of a slow pipe takes to come out (bench/cli_first_row.py).
# Usage: bench/compare_cli.sh [size-in-MiB] [OLDER-culvex-extract] [ROUNDS]
#        (defaults 1024, none, 5)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/cached_csv.sh

size_mib=${1:-1024}
older=${2:-}
rounds=${3:-5}

cmake --preset release >/dev/null
cmake --build --preset release --target culvex-extract >/dev/null
extract=build/release/src/cli/culvex-extract
[ -x /usr/bin/time ] || scripts/install-deps.sh

cached_csv "$size_mib"

names=(lines records cut)
commands=("$extract --comma $csv" "$extract --comma --start 2 --end 3 --format records $csv"
    "cut -d, -f2-3 $csv")
if [ -n "$older" ]; then
    names+=(older-lines)
    commands+=("$older --comma $csv")
fi

for ((round = 0; round < rounds; round++)); do
    for i in "${!names[@]}"; do
        # shellcheck disable=SC2086  # each command is split into its words on purpose
        /usr/bin/time -f "%e %M" -a -o "$work/${names[$i]}" ${commands[$i]} >/dev/null
    done
done

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
wall() { awk '{print $1}' "$work/$1" | median; }
peak() { awk '{print $2 / 1024}' "$work/$1" | median; }
for name in "${names[@]}"; do
    printf '%-12s median wall %7.3f s   peak RSS %6.1f MiB\n' "$name" "$(wall "$name")" "$(peak "$name")"
done
printf 'cut / records: %.2fx\n' "$(echo "$(wall cut) / $(wall records)" | bc -l)"
if [ -n "$older" ]; then
    printf 'lines / older lines: %.3f\n' "$(echo "$(wall lines) / $(wall older-lines)" | bc -l)"
fi
bench/cli_first_row.py "$extract" 20
