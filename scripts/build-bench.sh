#!/usr/bin/env bash
# Builds every benchmark in the release preset, so that a change that breaks one fails CI.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release --target culvex_benchmarks
