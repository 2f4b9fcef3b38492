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
ctest --preset asan -j"$(nproc)" --label-exclude libreoffice
# The real office (LibreOffice 7.4) now and then crashes on its own in a hidden document's
# view under load; its tests get one more run before they count as failed.
ctest --preset asan --label-regex libreoffice --repeat until-pass:2
scripts/test-tsan.sh
packaging/check-package.sh
