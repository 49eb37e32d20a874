#!/usr/bin/env bash
# Renders the README's pictures of the printed reports: the first page of
# each report of the full sample, through kvortcfg report and pdftoppm.
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=${1:-docs/screenshots}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cp examples/full/full.* "$WORK/"
mkdir -p "$OUT"
for n in 1 2 3 4; do
    build/src/cli/kvortcfg report "$WORK/full.cnf" --only "$n" -o "$WORK/report-$n.pdf" >/dev/null
    pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$WORK/report-$n.pdf" "$OUT/report-$n"
done
