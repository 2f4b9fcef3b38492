#!/usr/bin/env bash
# Times Culvex's extraction engine (file -> results store) against GNU cut and mawk on a
# generated CSV of about 1 GiB, ten columns of mixed widths, some fields with outer spaces.
#   J1: every column, one row per column, outer spaces trimmed
#   J2: columns 2 to 3
# cut cannot trim spaces, so its J1 is the split alone; mawk does the full work.
# Culvex and cut count their best of three runs; mawk runs once.
# Culvex runs as the window does (one worker thread per core for a large file), and again
# on one and on two threads for the scaling from one to two.
# Prints MB/s per tool and job, Culvex's ratio to each peer, and the results store's
# bytes per row. Then the same jobs as whole processes writing their rows out:
# culvex-extract against cut -f1-10 (J1) / -f2-3 (J2) and mawk, and the peak resident
# memory of culvex-extract's streamed formats (lines, comma) by /usr/bin/time.
# Usage: bench/compare_engine.sh [size-in-MiB]   (default 1024)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/cached_csv.sh

size_mib=${1:-1024}

if ! command -v mawk >/dev/null; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get install -y -q --no-install-recommends mawk >/dev/null
fi

cmake --preset release >/dev/null
cmake --build --preset release --target culvex_engine_cli culvex-extract >/dev/null
cli=build/release/bench/culvex_engine_cli
extract=build/release/src/cli/culvex-extract
[ -x /usr/bin/time ] || scripts/install-deps.sh

cached_csv "$size_mib"
bytes=$(stat -c %s "$csv")

seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}
# The fastest of three runs of a command, in seconds.
best_of_three() {
    local best="" s
    for _ in 1 2 3; do
        s=$("$@")
        if [ -z "$best" ] || [ "$(echo "$s < $best" | bc -l)" = 1 ]; then
            best=$s
        fi
    done
    echo "$best"
}
# culvex_seconds JOB [THREADS]; no THREADS: one per core.
culvex_seconds() { "$cli" "$1" "$csv" ${2:+"$2"} | sed -E 's/.*seconds=([0-9.]+).*/\1/'; }
rate() { echo "scale=1; $bytes / 1000000 / $1" | bc -l; }

j1_awk='{for (i = 1; i <= NF; i++) if ($i != "") { f = $i; gsub(/^ +| +$/, "", f); print f }}'
j2_awk='NF > 1 {for (i = 2; i <= 3 && i <= NF; i++) if ($i != "") { f = $i; gsub(/^ +| +$/, "", f); print f }}'

printf 'input: %s bytes, %s lines\n' "$bytes" "$(wc -l <"$csv")"
for job in J1 J2; do
    out=$("$cli" "$job" "$csv")
    culvex=$(best_of_three culvex_seconds "$job")
    rows=$(sed -E 's/.*rows=([0-9]+).*/\1/' <<<"$out")
    row_bytes=$(sed -E 's/.*row_bytes=([0-9]+).*/\1/' <<<"$out")
    store=$(sed -E 's/.*store_bytes=([0-9]+).*/\1/' <<<"$out")
    if [ "$job" = J1 ]; then
        cut_s=$(best_of_three seconds cut -d, -f1- --output-delimiter=$'\n' "$csv")
        awk_s=$(seconds mawk -F, "$j1_awk" "$csv")
    else
        cut_s=$(best_of_three seconds cut -d, -f2-3 "$csv")
        awk_s=$(seconds mawk -F, "$j2_awk" "$csv")
    fi
    printf '%s  culvex %8s MB/s   cut %8s MB/s   mawk %8s MB/s   culvex/cut %5.2fx   culvex/mawk %5.2fx\n' \
        "$job" "$(rate "$culvex")" "$(rate "$cut_s")" "$(rate "$awk_s")" \
        "$(echo "$cut_s / $culvex" | bc -l)" "$(echo "$awk_s / $culvex" | bc -l)"
    one=$(best_of_three culvex_seconds "$job" 1)
    two=$(best_of_three culvex_seconds "$job" 2)
    printf '%s  culvex on 1 thread %8s MB/s   on 2 threads %8s MB/s   scaling %5.2fx\n' \
        "$job" "$(rate "$one")" "$(rate "$two")" "$(echo "$one / $two" | bc -l)"
    printf '%s  rows %s, row bytes %s, store bytes %s, overhead %.2f bytes/row\n' \
        "$job" "$rows" "$row_bytes" "$store" "$(echo "($store - $row_bytes) / $rows" | bc -l)"
done

# Whole processes, rows written to /dev/null; the file is in the page cache.
peak_mib() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1 | awk '{printf "%.1f", $1 / 1024}'; }
echo "whole process, MB/s of input (best of three; mawk once):"
for job in J1 J2; do
    if [ "$job" = J1 ]; then
        range=()
        cut_s=$(best_of_three seconds cut -d, -f1-10 --output-delimiter=$'\n' "$csv")
        awk_s=$(seconds mawk -F, "$j1_awk" "$csv")
    else
        range=(--start 2 --end 3)
        cut_s=$(best_of_three seconds cut -d, -f2-3 "$csv")
        awk_s=$(seconds mawk -F, "$j2_awk" "$csv")
    fi
    ext_s=$(best_of_three seconds "$extract" --comma "${range[@]}" "$csv")
    printf '%s  culvex-extract %8s MB/s   cut %8s MB/s   mawk %8s MB/s   vs cut %5.2fx   vs mawk %5.2fx\n' \
        "$job" "$(rate "$ext_s")" "$(rate "$cut_s")" "$(rate "$awk_s")" \
        "$(echo "$cut_s / $ext_s" | bc -l)" "$(echo "$awk_s / $ext_s" | bc -l)"
    printf '%s  peak RSS MiB: lines %s, comma %s\n' "$job" \
        "$(peak_mib "$extract" --comma "${range[@]}" "$csv")" \
        "$(peak_mib "$extract" --comma "${range[@]}" --format comma "$csv")"
done
