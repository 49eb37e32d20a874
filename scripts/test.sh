#!/usr/bin/env bash
# Builds everything and runs the whole test suite twice: the normal build and
# the AddressSanitizer + UndefinedBehaviorSanitizer build (no window there).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --asan
export QT_QPA_PLATFORM=offscreen
status=0
echo "=== Тесты (обычная сборка) ==="
ctest --test-dir build --output-on-failure -j 2 || status=1
echo "=== Тесты (ASan + UBSan) ==="
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j 2 || status=1
exit $status
