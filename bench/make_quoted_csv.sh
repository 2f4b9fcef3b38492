#!/usr/bin/env bash
# Writes the engine benchmarks' CSV with a fifth of its fields in double quotes.
#   bench/make_quoted_csv.sh SIZE-IN-MIB FILE
exec "$(dirname "$0")/make_engine_csv.sh" "$1" "$2" --quoted
