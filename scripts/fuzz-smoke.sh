#!/usr/bin/env bash
# A short run of every fuzz target in fuzz/ (FUZZ_SECONDS each, 10 by default), each
# corpus seeded with the shipped samples and the test data. A crashing input is kept in
# build/fuzz/crashes/ and its path is printed with the end of the target's log.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-10}
targets=$(for source in fuzz/fuzz_*.cpp; do basename "$source" .cpp; done | sed 's/^/culvex_/')
cmake --preset fuzz >/dev/null
# shellcheck disable=SC2086
cmake --build --preset fuzz --target $targets
crashes=build/fuzz/crashes
mkdir -p "$crashes"
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
for target in $targets; do
    mkdir -p "$corpus/$target"
    find resources/Samples tests/data -type f -size -64k -exec cp -t "$corpus/$target" {} +
    if ! "build/fuzz/fuzz/$target" -max_total_time="$seconds" -artifact_prefix="$crashes/$target-" \
        "$corpus/$target" 2>"$corpus/$target.log"; then
        tail -n 40 "$corpus/$target.log"
        echo "$target: crashing input kept in $(ls -t "$crashes/$target"-* | head -n 1)"
        exit 1
    fi
    echo "$target: $(tail -n 1 "$corpus/$target.log")"
done
