#!/usr/bin/env bash
# Builds the release preset and makes the Debian package from it: build/release/linkvane_<version>_<arch>.deb.
#   scripts/package.sh
# scripts/check-package.sh then installs it on a freshly made Debian 12 root and starts it there.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh build package
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
# Bounded: dpkg-shlibdeps reads every library the program links.
timeout 600 cpack --preset release

package=$(ls -t build/release/linkvane_*.deb | head -n 1)
echo "package: $package"
dpkg-deb --field "$package" Depends Recommends
