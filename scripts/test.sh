#!/usr/bin/env bash
# Installs what is missing, checks the formatting, gives each fuzz target a short run,
# builds the benchmarks, then builds with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs every test, runs the engine's tests under ThreadSanitizer, and finally builds the
# Debian package and checks it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

scripts/check-format.sh
scripts/fuzz-smoke.sh
scripts/build-bench.sh

cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan -j"$(nproc)"
scripts/test-tsan.sh
packaging/check-package.sh
