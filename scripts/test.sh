#!/usr/bin/env bash
# Builds everything and runs the whole test suite twice: the normal build and
# the AddressSanitizer + UndefinedBehaviorSanitizer build (no window there);
# then the serial link and transfer tests once more under ThreadSanitizer,
# and every fuzz harness for 30 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --asan
export QT_QPA_PLATFORM=offscreen
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=1
status=0
echo "=== Зависимости слоёв ==="
bash scripts/check-layers.sh || status=1
echo "=== Оформление кода ==="
bash scripts/check-format.sh || status=1
echo "=== Тесты (обычная сборка) ==="
ctest --test-dir build --output-on-failure -j 2 || status=1
echo "=== Тесты (ASan + UBSan) ==="
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j 2 || status=1
echo "=== Тесты связи (ThreadSanitizer) ==="
# Only what runs the port's worker threads: the link, simulator and
# end-to-end link tests. One at a time: the sanitizer slows the threads, and
# the tests' waits are short.
cmake -S . -B build-tsan -G Ninja -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVORT_TSAN=ON \
    -DKVORT_GUI=OFF -DKVORT_BENCH=OFF >/dev/null
cmake --build build-tsan -j "${KVORT_JOBS:-2}" --target test_link test_sim test_e2e
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
for dir in link sim; do
    ctest --test-dir "build-tsan/tests/$dir" --output-on-failure -E _NOT_BUILT || status=1
done
ctest --test-dir build-tsan/tests/e2e --output-on-failure -R '^E2E\.' || status=1
echo "=== Фаззеры (по 30 с) ==="
# Each harness for 30 seconds on its corpus, two at a time: a few minutes in
# all, so the whole command stays well within the CI's time.
bash fuzz/run.sh 30 || status=1
exit $status
