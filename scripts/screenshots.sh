#!/usr/bin/env bash
# Renders the README's pictures of the window under a virtual display from a
# copy of the full sample configuration.
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=${1:-docs/screenshots}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cp examples/full/full.* "$WORK/"
xvfb-run -a -s '-screen 0 1600x1000x24' build/tools/kvort-screenshots "$OUT" "$WORK/full.cnf"
