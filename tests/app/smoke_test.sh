#!/usr/bin/env bash
# Starts the real culvex under a virtual X server, finds its window by caption, checks
# the client size, takes a screenshot and closes the window; the program must then end.
# Usage: smoke_test.sh CULVEX SCREENSHOT.png   (run it through xvfb-run)
set -euo pipefail
program=$1
screenshot=$2
here=$(cd "$(dirname "$0")" && pwd)

config=$(mktemp -d)
trap 'rm -rf "$config"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true' EXIT
XDG_CONFIG_HOME=$config XDG_RUNTIME_DIR=$config QT_QPA_PLATFORM=xcb "$program" &
pid=$!

window=""
for _ in $(seq 200); do
    window=$(xdotool search --name '^Culvex$' 2>/dev/null | head -n1 || true)
    [ -n "$window" ] && break
    sleep 0.05
done
[ -n "$window" ] || { echo "no window captioned Culvex appeared"; exit 1; }

sleep 0.5
size=$(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
[ "$size" = "1064x392" ] || { echo "client size $size, expected 1064x392"; exit 1; }
import -window root "$screenshot"

python3 "$here/close_window.py" "$window"
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
done
if kill -0 "$pid" 2>/dev/null; then
    echo "culvex still running after its window was closed"
    exit 1
fi
wait "$pid"
status=$?
pid=""
grep -q '^Option11=True$' "$config/Quillbrook/Quillbrook.ini" || {
    echo "start-up did not store the restored panel"
    exit 1
}
exit "$status"
