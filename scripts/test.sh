#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer,
# runs every test, then a short fuzzing run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan -j"$(nproc)"

# A short fuzzing run of each target (about 20 s each), in a scratch corpus folder.
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target culvex_fuzz_lines culvex_fuzz_extract
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
for target in culvex_fuzz_lines culvex_fuzz_extract; do
    mkdir -p "$corpus/$target"
    build/fuzz/fuzz/$target -max_total_time=20 -artifact_prefix="$corpus/" "$corpus/$target"
done
