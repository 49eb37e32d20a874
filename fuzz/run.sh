#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, ASan + UBSan) into build-fuzz/ and
# runs each on its corpus for SECONDS (default 30), two at a time.
#
#   fuzz/run.sh [SECONDS] [HARNESS ...]     e.g. fuzz/run.sh 600 archives json_export
#
# The checked-in seeds (fuzz/corpus/NAME) are only read; what a run finds
# goes to build-fuzz/corpus/NAME, so a longer run starts from there the
# next time. A crash leaves its input in build-fuzz/artifacts/ and the
# script ends with status 1. KVORT_FUZZ_JOBS sets how many run at once;
# KVORT_FUZZ_FLAGS adds libFuzzer flags (e.g. -runs=1000000 ends a harness
# after a million executions, or SECONDS, whichever comes first).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
shift || true
declare -A maxLen=(
    [decode_image]=65536
    [ini_store]=4096
    [archives]=24578
    [card_reader]=90127
    [json_export]=65536
)
harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
    harnesses=(ini_store archives card_reader json_export decode_image)
fi
for h in "${harnesses[@]}"; do
    [ -n "${maxLen[$h]:-}" ] || { echo "нет такого фаззера: $h (есть: ${!maxLen[*]})" >&2; exit 2; }
done

export CC=${CC:-clang} CXX=${CXX:-clang++}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-fuzz -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVORT_FUZZ=ON \
    -DKVORT_SANITIZE=ON -DKVORT_QT=OFF -DKVORT_TESTS=OFF -DKVORT_BENCH=OFF >/dev/null
targets=()
for h in "${harnesses[@]}"; do targets+=("fuzz_$h"); done
cmake --build build-fuzz -j "${KVORT_JOBS:-2}" --target "${targets[@]}"

mkdir -p build-fuzz/artifacts build-fuzz/logs
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

run_one() {
    local h=$1 log=build-fuzz/logs/$1-${seconds}s.log
    mkdir -p "build-fuzz/corpus/$h"
    if "build-fuzz/fuzz/fuzz_$h" "build-fuzz/corpus/$h" "fuzz/corpus/$h" \
        -max_total_time="$seconds" -max_len="${maxLen[$h]}" -timeout=25 \
        -artifact_prefix="build-fuzz/artifacts/$h-" -print_final_stats=1 \
        ${KVORT_FUZZ_FLAGS:-} >"$log" 2>&1; then
        local execs rate cov ft
        execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
        cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
        ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
        echo "$h: ${execs:-?} запусков, ${rate:-?}/с, cov ${cov:-?}, ft ${ft:-?}"
    else
        echo "$h: ОШИБКА, см. $log" >&2
        tail -n 40 "$log" >&2
        return 1
    fi
}

status=0
jobs=${KVORT_FUZZ_JOBS:-2}
pids=()
for h in "${harnesses[@]}"; do
    run_one "$h" &
    pids+=($!)
    if [ ${#pids[@]} -ge "$jobs" ]; then
        wait "${pids[0]}" || status=1
        pids=("${pids[@]:1}")
    fi
done
for p in "${pids[@]}"; do
    wait "$p" || status=1
done
exit $status
