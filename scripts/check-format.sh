#!/usr/bin/env bash
# Fails, naming the files, when a C++ file of the repository differs from what clang-format
# makes of it with the repository's .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
unformatted=()
while IFS= read -r -d '' file; do
    clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done < <(git ls-files -z -- '*.cpp' '*.h')
if [ ${#unformatted[@]} -gt 0 ]; then
    printf 'not formatted with clang-format: %s\n' "${unformatted[@]}"
    exit 1
fi
echo "clang-format: every file formatted"
