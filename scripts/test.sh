#!/usr/bin/env bash
# Installs what is missing, gives each fuzz target a short run, then builds with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

# A short fuzzing run of each target (about 20 s each), in a scratch corpus folder.
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target culvex_fuzz_lines culvex_fuzz_extract
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
for target in culvex_fuzz_lines culvex_fuzz_extract; do
    mkdir -p "$corpus/$target"
    build/fuzz/fuzz/$target -max_total_time=20 -artifact_prefix="$corpus/" "$corpus/$target" \
        2>"$corpus/$target.log" || { tail -n 40 "$corpus/$target.log"; exit 1; }
    tail -n 1 "$corpus/$target.log"
done

cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan -j"$(nproc)"
scripts/test-tsan.sh
