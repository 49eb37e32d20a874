#!/usr/bin/env bash
# Fails when a C++ file the repository tracks differs from what clang-format
# makes of it (the one .clang-format at the root). `--fix` rewrites them.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
if clang-format --dry-run --Werror "${files[@]}"; then
    echo "check-format: ${#files[@]} файлов оформлены по .clang-format"
else
    echo "check-format: оформление расходится с .clang-format; исправить: bash scripts/check-format.sh --fix" >&2
    exit 1
fi
