#!/usr/bin/env bash
# Runs a Windows program under Wine 8 (64-bit) in Linkvane's private prefix and returns its exit
# status; creates the prefix on first use (about 10 s). It is the CMAKE_CROSSCOMPILING_EMULATOR of
# cmake/toolchain-mingw64.cmake, so CTest runs the Windows test executables through it.
#   scripts/wine-run.sh PROGRAM.exe [ARGUMENTS...]
#   LINKVANE_WINEPREFIX=DIR   another prefix (default: build/wine/prefix of this repository)
# Under CTest, bracket the Wine tests with scripts/wine-session.sh start / stop (fixtures): without a
# running session, each test's Wine starts its own wineserver and services, which keep CTest's
# output pipe open, and CTest waits for them (seconds per test). See docs/windows-build.md.
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 PROGRAM.exe [ARGUMENTS...]" >&2; exit 2; }
# shellcheck source=wine-env.sh
. "$(dirname "$(realpath "$0")")/wine-env.sh"
linkvane_wine_ensure_prefix
exec wine "$@"
