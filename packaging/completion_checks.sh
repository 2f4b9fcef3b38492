#!/usr/bin/env bash
# Checks the bash completion of culvex-extract against a built program:
#   completion_checks.sh CULVEX_EXTRACT COMPLETION_FILE
# Each row gives the words of a command line (the last one is being completed) and the
# completions expected, sorted and joined by spaces.
set -uo pipefail
program=$1
# shellcheck disable=SC1090 # the completion file under test is an argument
source "$2"

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
touch "$dir/a.csv" "$dir/ab.txt" "$dir/b.log"

failures=0
check() {
    local expected=$1
    shift
    COMP_WORDS=("$program" "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _culvex_extract "$program" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd' ')
    if [[ $got != "$expected" ]]; then
        echo "completing '$*': expected '$expected', got '$got'"
        failures=$((failures + 1))
    fi
}

check "--format"                      --for
check "--start --start-marker"        --st
check "--output"                      --out
check "-o"                            -o
check "comma"                         --format c
check "comma lines records spaced"    --format ""
check "spaced"                        --format = s
check "comma lines records spaced"    --format =
check ""                              --start ""
check ""                              --others ""
check "$dir/a.csv $dir/ab.txt"        -o "$dir/a"
check "$dir/a.csv $dir/ab.txt"        --output = "$dir/a"
check "$dir/b.log"                    --tab "$dir/b"
check "$dir/a.csv"                    -- "$dir/a.c"
check "--comma --comma-space"         --tab "$dir/b.log" --comma

[[ $failures -eq 0 ]] && echo "every completion as expected"
exit $((failures > 0))
