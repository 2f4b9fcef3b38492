# Sourced by the comparison scripts. cached_csv SIZE-MiB makes $work (removed when the
# script exits) and $csv in it, a generated CSV whose write-back is finished and which has
# been read once, so that every tool reads it from the page cache.
cached_csv() {
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    csv="$work/data.csv"
    bench/make_engine_csv.sh "$1" "$csv"
    sync
    cat "$csv" >/dev/null
}
