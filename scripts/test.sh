#!/usr/bin/env bash
# Installs what is missing, builds Linkvane and its tests, and runs the whole test suite.
#   scripts/test.sh [PRESET]
#     debug (default): the Linux build's suite, then the Windows build's suite under Wine
#     asan:            the Linux build's suite under AddressSanitizer and UBSan
#     tsan:            the Linux suites that start downloads, under ThreadSanitizer
#     windows:         the Windows build's suite under Wine only
set -euo pipefail
cd "$(dirname "$0")/.."

run_suite() {
    cmake --preset "$1"
    cmake --build --preset "$1" -j "$(nproc)"
    ctest --preset "$1" -j "$(nproc)"
}

preset=${1:-debug}
case $preset in
    windows)
        scripts/install-deps.sh windows display
        run_suite windows ;;
    debug)
        scripts/install-deps.sh build windows display
        run_suite debug
        run_suite windows ;;
    *)
        scripts/install-deps.sh build
        run_suite "$preset" ;;
esac
