#!/usr/bin/env bash
# Times "Extract Columns From File(s)" in the real main window (click to "Done.") against
# the engine alone on the same file, every column (J1) with the comma separator, and
# reports the window's peak resident memory against the results store's bytes.
# Both count their best of three runs.
#   bench/window_vs_engine.sh [size-in-MiB]   (default 256)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/cached_csv.sh

size_mib=${1:-256}
cmake --preset release >/dev/null
cmake --build --preset release --target culvex_engine_cli culvex_window_bench >/dev/null
bin=build/release/bench

cached_csv "$size_mib"

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
field() { sed -E "s/.*$1=([0-9.]+).*/\\1/"; }
# The fastest of three runs of a command printing "seconds=...", as its whole line.
best_of_three() {
    local best="" line
    for _ in 1 2 3; do
        line=$("$@")
        if [ -z "$best" ] || [ "$(echo "$(field seconds <<<"$line") < $(field seconds <<<"$best")" | bc -l)" = 1 ]; then
            best=$line
        fi
    done
    echo "$best"
}

engine=$(best_of_three "$bin/culvex_engine_cli" J1 "$csv")
window=$(best_of_three "$bin/culvex_window_bench" "$csv")
engine_s=$(field seconds <<<"$engine")
window_s=$(field seconds <<<"$window")
printf 'input: %s bytes; engine: %s\nwindow: %s\n' "$(stat -c %s "$csv")" "$engine" "$window"
printf 'click to "Done.": %s s, engine alone %s s, ratio %.2fx\n' "$window_s" "$engine_s" \
    "$(echo "$window_s / $engine_s" | bc -l)"
printf 'window peak RSS %s MB, results store %s MB, over the store %s MB\n' \
    "$(field peak_rss_mb <<<"$window")" "$(field store_mb <<<"$window")" \
    "$(echo "$(field peak_rss_mb <<<"$window") - $(field store_mb <<<"$window")" | bc -l)"
