#!/usr/bin/env bash
# Makes the Windows installer build/windows/linkvane-<version>-win64.exe: installs what is missing
# (group windows: the mingw-w64 cross compiler, NSIS, Wine), builds the static libcurl once, builds
# the windows preset and packs it with CPack's NSIS generator.
#   scripts/package-windows.sh [CMAKE_ARGUMENTS...]   e.g. -DLINKVANE_CONTENT_SERVER=host:port
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh windows
# The one date written into the package (default: the last commit's time).
. scripts/source-date-epoch.sh
cmake --preset windows "$@"
cmake --build --preset windows -j "$(nproc)" --target linkvane
cpack --preset windows
