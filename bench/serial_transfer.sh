#!/usr/bin/env bash
# Full writes and reads at 38400 baud against kvort-panel-sim with pacing on,
# for both block sizes, compared with the floor the protocol itself sets:
# the line time of every block plus the pauses it requires.
#
#   bench/serial_transfer.sh [BUILD_DIR]        (default: build)
#
# Takes about five minutes. Not part of CI; run it on a quiet machine, e.g.
#   nice bench/serial_transfer.sh > bench.txt 2>&1 &
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
CFG=$PWD/$BUILD/src/cli/kvortcfg
SIM=$PWD/$BUILD/src/sim/kvort-panel-sim
[ -x "$CFG" ] && [ -x "$SIM" ] || { echo "build kvortcfg and kvort-panel-sim first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/full/full.* "$work/"
cd "$work"
"$CFG" encode full.cnf --series fh -o served.bin >/dev/null

# Floors in seconds. Write: 1023 blocks x (line time + reply byte + 50 ms).
# Read: 1023 blocks x (request byte + line time + 100 ms) for 64-byte blocks,
# 255 blocks for 256-byte blocks. 10 bits a byte at 38400 baud.
floor() { # mode block
    python3 -c "
byte = 10 / 38400
mode, bs = '$1', $2
n = 65536 // bs - 1
pause = 0.050 if mode == 'write' else 0.100
print(f'{n * (bs * byte + byte + pause):.1f}')"
}

run() { # mode block
    local mode=$1 bs=$2 link="$work/panel-$1-$2"
    local simargs=(--mode "$mode" --block "$bs" --link "$link")
    [ "$mode" = read ] && simargs+=(--image served.bin)
    [ "$mode" = write ] && simargs+=(--save "written-$bs.bin")
    "$SIM" "${simargs[@]}" >/dev/null 2>"sim-$mode-$bs.log" &
    local sim=$!
    for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.05; done
    local start end
    start=$(date +%s.%N)
    if [ "$mode" = write ]; then
        "$CFG" write-panel full.cnf --ports "$link" --continue >"cfg-$mode-$bs.log" 2>&1
    else
        rm -rf "read-$bs" && mkdir "read-$bs"
        "$CFG" read-panel -o "read-$bs/R.cnf" --ports "$link" >"cfg-$mode-$bs.log" 2>&1
    fi
    end=$(date +%s.%N)
    wait "$sim" || true
    local took fl
    took=$(python3 -c "print(f'{$end - $start:.1f}')")
    fl=$(floor "$mode" "$bs")
    python3 -c "print(f'$mode {$bs:>3}: {$took:7.1f} s   floor {$fl:6.1f} s   ratio {$took / $fl:.3f}')"
}

echo "serial transfer at 38400 baud, paced simulator"
run write 64
run write 256
run read 64
run read 256
if cmp -s written-64.bin full.bin && cmp -s written-256.bin full.bin; then
    echo "written images equal the encoded one"
else
    echo "WRITTEN IMAGE DIFFERS"
fi
