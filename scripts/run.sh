#!/usr/bin/env bash
# Builds the tool and starts the window, kvort-config (arguments are passed
# on: a NAME.cnf to open at start). Without a display it says so and runs a
# short headless demonstration with kvortcfg instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec build/src/gui/kvort-config "$@"
fi
echo "Дисплей не найден (DISPLAY и WAYLAND_DISPLAY не заданы): окно kvort-config"
echo "запустить негде. Показываю работу без окна — утилиту kvortcfg."
echo
OUT=${KVORT_DEMO_DIR:-$PWD/out/demo}
mkdir -p "$OUT"
echo "=== Демонстрация kvortcfg ==="
build/src/cli/kvortcfg --help
echo
echo "Новая конфигурация:"
build/src/cli/kvortcfg new "$OUT/ОБЪЕКТ"
echo
echo "Образ SD-карты из примера examples/full (серия F/H, без вопросов проверки):"
cp examples/full/full.* "$OUT/"
build/src/cli/kvortcfg write-card "$OUT/full.cnf" --series fh -o "$OUT/CONFIG.BIN" --skip-check || true
echo
echo "Файлы демонстрации лежат в $OUT:"
ls -l "$OUT"
