#!/usr/bin/env bash
# Times the "Add All" folder scan against `find DIR -name '*.csv'` on a generated tree of
# 100,000 files in 5,000 folders (warm cache, best of three runs each).
#
#   bench/scan_vs_find.sh [TREE_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
tree="${1:-/tmp/culvex-scan-tree}"

[ -d "$tree" ] || python3 bench/make_scan_tree.py "$tree"
cmake --preset release >/dev/null
cmake --build --preset release --target culvex_scan_bench | tail -1
bench=build/release/bench/culvex_scan_bench

# Best wall time of three runs of the command, in seconds.
best() {
    python3 - "$@" <<'PY'
import subprocess, sys, time
times = []
for _ in range(3):
    start = time.perf_counter()
    subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, check=True)
    times.append(time.perf_counter() - start)
print(f"{min(times):.3f}")
PY
}

find "$tree" -name '*.csv' >/dev/null
echo "find files:  $(find "$tree" -name '*.csv' | wc -l)"
echo "culvex scan: $("$bench" "$tree")"
find_time=$(best find "$tree" -name '*.csv')
scan_time=$(best "$bench" "$tree")
echo "find -name '*.csv': ${find_time} s"
echo "culvex scan:        ${scan_time} s (whole process)"
echo "ratio scan/find:    $(python3 -c "print(f'{$scan_time / $find_time:.2f}')")"
