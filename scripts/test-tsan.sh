#!/usr/bin/env bash
# Builds the engine and its tests with ThreadSanitizer and runs them: the engine is the
# only layer that starts threads of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset tsan >/dev/null
cmake --build --preset tsan
ctest --preset tsan -j"$(nproc)"
