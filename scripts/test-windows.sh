#!/usr/bin/env bash
# The Windows build infrastructure, checked end to end: installs what is missing (group windows),
# builds the static libcurl once (build/windows-deps), cross-compiles tests/windows with
# cmake/toolchain-mingw64.cmake in build/windows-checks and runs its CTest suite under Wine (curl
# against a loopback server, a doctest suite, the DLL import check).
#   scripts/test-windows.sh
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh windows
build=$PWD/build/windows-checks
cmake -S tests/windows -B "$build" --toolchain "$PWD/cmake/toolchain-mingw64.cmake"
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" -j "$(nproc)" --output-on-failure
