#!/usr/bin/env bash
# Installs what is missing, builds Linkvane and its tests, and runs the whole test suite.
#   scripts/test.sh [PRESET]      PRESET: debug (default), asan or tsan
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-debug}
scripts/install-deps.sh build
cmake --preset "$preset"
cmake --build --preset "$preset" -j "$(nproc)"
ctest --preset "$preset" -j "$(nproc)"
