#!/usr/bin/env bash
# Times the spreadsheet export into LibreOffice Calc (release build), with the office
# headless and a profile of its own in a temporary home. Extra arguments go to the
# benchmark program, for example --benchmark_filter=/100000.
#
#   --no-build            run the benchmark as last built
#   --office-import ROWS  instead, the yardstick: the office's own import of the benchmark's
#                         rows (header included) from a CSV file, saved as a workbook, twice in
#                         one office start as the benchmark exports twice
set -euo pipefail
cd "$(dirname "$0")/.."
home=$(mktemp -d)
# The office's profile lock goes when the office has exited.
cleanup() {
    for _ in $(seq 100); do
        [ -e "$home/.config/libreoffice/4/.lock" ] || break
        sleep 0.1
    done
    rm -rf "$home"
}
trap cleanup EXIT
headless=(env -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" SAL_USE_VCLPLUGIN=svp)

# The benchmark's values: integers, words, percentages and dates in turn.
write_rows() {
    awk -v n="$1" 'BEGIN {
        print "Results"
        for (i = 0; i < n; ++i) {
            if (i % 4 == 0) print i
            else if (i % 4 == 1) print "item " i
            else if (i % 4 == 2) print (i % 100) "%"
            else print (1 + i % 12) "/" (1 + i % 28) "/2021"
        }
    }'
}

if [ "${1:-}" = --office-import ]; then
    write_rows "$2" >"$home/rows.csv"
    cp "$home/rows.csv" "$home/rows2.csv"
    # Comma separated, UTF-8, from line 1, special numbers (dates, percentages) detected.
    "${headless[@]}" soffice --headless --infilter=CSV:44,34,76,1,,0,false,true \
        --convert-to ods --outdir "$home" "$home/rows.csv" "$home/rows2.csv" >/dev/null
    exit
fi
if [ "${1:-}" = --no-build ]; then
    shift
else
    cmake --preset release >/dev/null
    cmake --build --preset release --target bench_spreadsheet_export
fi
"${headless[@]}" build/release/bench/bench_spreadsheet_export "$@" </dev/null
