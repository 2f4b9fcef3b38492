#!/usr/bin/env bash
# Times the spreadsheet export into LibreOffice Calc (release build), with the office
# headless and a profile of its own in a temporary home. Extra arguments go to the
# benchmark program, for example --benchmark_filter=/100000.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release --target bench_spreadsheet_export
home=$(mktemp -d)
# The benchmark ends the office; its profile's lock goes when the office has exited.
cleanup() {
    for _ in $(seq 100); do
        [ -e "$home/.config/libreoffice/4/.lock" ] || break
        sleep 0.1
    done
    rm -rf "$home"
}
trap cleanup EXIT
env -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" SAL_USE_VCLPLUGIN=svp \
    build/release/bench/bench_spreadsheet_export "$@" </dev/null
