#!/usr/bin/env bash
# Builds the tool and starts it. Until the window exists this runs a short
# headless demonstration with kvortcfg and says where it put its files.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
OUT=${KVORT_DEMO_DIR:-$PWD/out/demo}
mkdir -p "$OUT"
echo "=== Демонстрация kvortcfg ==="
build/src/cli/kvortcfg --help
echo
echo "Новая конфигурация:"
build/src/cli/kvortcfg new "$OUT/ОБЪЕКТ"
echo
echo "Файлы демонстрации лежат в $OUT:"
ls -l "$OUT"
