#!/usr/bin/env bash
# Builds the release preset and makes the Debian package from it: build/release/linkvane_<version>_<arch>.deb.
#   scripts/package.sh [CMAKE_ARGUMENTS...]   e.g. -DLINKVANE_CONTENT_SERVER=host:port
# scripts/check-package.sh then installs it on a freshly made Debian 12 root and starts it there.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh build package
# The one date written into the package (default: the last commit's time).
. scripts/source-date-epoch.sh
# Debian's hardening flags, as its own package builds get them: stack protector, fortified libc
# calls, read-only relocations bound at start (relro, -z now) and a position-independent program.
# The tests and benchmarks are built and run by the other presets, not for the package.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# Not the debugging information: the package ships the program stripped, with no debug-symbols
# package, and its build id, computed before stripping, would then depend on how each compiler
# call named its files.
export DEB_CXXFLAGS_MAINT_STRIP=-g
cmake --preset release \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    -DBUILD_TESTING=OFF -DLINKVANE_BUILD_BENCH=OFF "$@" >/dev/null
cmake --build --preset release -j "$(nproc)"
# Bounded: dpkg-shlibdeps reads every library the program links.
timeout 600 cpack --preset release

package=$(ls -t build/release/linkvane_*.deb | head -n 1)
echo "package: $package"
dpkg-deb --field "$package" Depends Recommends
