#!/usr/bin/env bash
# The preview window over a 10 GB CSV file (sparse after its first 8 MiB of lines, so it
# takes no disk), one line of 1 MiB of commas (a million columns) and the shipped samples:
# time to the first table, redraw after a settings change, the longest gap of the window's
# event loop, memory growth. Runs each file RUNS times (default 5), interleaved.
# Usage: bench/preview_files.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build/release}
runs=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 - "$work" <<'PY'
import sys
folder = sys.argv[1]
with open(folder + "/10g.csv", "w") as out:
    line = "".join(f"field{i} value,{i * 7},x{i % 13},Ann Lee,2024-01-01,{i}.5\n" for i in range(200))
    while out.tell() < 8 << 20:
        out.write(line)
with open(folder + "/10g.csv", "r+") as out:
    out.truncate(10 * 10**9)
with open(folder + "/commas.csv", "w") as out:
    out.write("a," * (1 << 19) + "\n")
PY
for _ in $(seq "$runs"); do
    QT_QPA_PLATFORM=offscreen "$build/bench/culvex_preview_bench" "$work/10g.csv" "$work/commas.csv"
done
