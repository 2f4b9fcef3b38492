#!/usr/bin/env bash
# Start-up time of culvex: from launching the process until its main window is mapped and
# viewable on a virtual X server, warm cache (one unmeasured run first), median of RUNS.
# Usage: bench/startup_time.sh [path/to/culvex] [runs]   (default build/release/src/culvex, 10)
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/release/src/culvex}")
runs=${2:-10}

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$program" "$runs"
fi

config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT

one_run() {
    local start pid now
    start=$(date +%s%N)
    XDG_CONFIG_HOME=$config XDG_RUNTIME_DIR=$config QT_QPA_PLATFORM=xcb "$program" &
    pid=$!
    until xwininfo -name Culvex 2>/dev/null | grep -q IsViewable; do
        kill -0 "$pid" 2>/dev/null || { echo "culvex ended before showing its window" >&2; exit 1; }
    done
    now=$(date +%s%N)
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo $(((now - start) / 1000000))
}

one_run >/dev/null
times=()
for _ in $(seq "$runs"); do
    times+=("$(one_run)")
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
echo "start-up to window shown, ms (sorted): $(echo $sorted)"
echo "median: $(echo "$sorted" | sed -n "$(((runs + 1) / 2))p") ms"
