#!/usr/bin/env bash
# Installs what the build, the tests and the window need on Debian 12, only
# what is missing, then configures and builds into build/ (and build-asan/
# with --asan). Used by run.sh and test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libgtest-dev libgmock-dev
          libbenchmark-dev nlohmann-json3-dev python3 xvfb xauth
          clang libclang-rt-14-dev fonts-dejavu-core fonts-liberation poppler-utils
          dpkg-dev lintian qt6-translations-l10n ccache clang-format)

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Устанавливаю пакеты: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

JOBS=${KVORT_JOBS:-2}
# A compiler cache shared by every checkout of the project on this machine:
# paths are taken relative to the checkout, so a fresh clone hits it too.
# With debug info ccache would also hash the build folder; leaving it out
# only changes the folder the debug info names.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=1
build() { # dir, cmake options...
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache "$@" >/dev/null
    cmake --build "$dir" -j "$JOBS"
}

build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ "${1:-}" = "--asan" ]; then
    # The sanitizer build covers the layers without widgets.
    build build-asan -DCMAKE_BUILD_TYPE=Debug -DKVORT_SANITIZE=ON -DKVORT_GUI=OFF -DKVORT_BENCH=OFF
fi
