#!/usr/bin/env bash
# Checks the Debian package as Debian and software centres do: lintian (every error and warning
# fails; the pedantic and informational tags are shown too) and appstreamcli on the metainfo file,
# then on the installed tree, which also finds the menu entry the metainfo launches.
#   scripts/lint-package.sh [PACKAGE.deb]    default: the newest build/release/linkvane_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh package
package=${1:-$(ls -t build/release/linkvane_*.deb 2>/dev/null | head -n 1)}
[ -f "$package" ] || { echo "lint-package: no package; run scripts/package.sh first" >&2; exit 2; }

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb --extract "$package" "$tree"

echo "lintian $package"
# Root is what CI runs as; lintian only warns about it on stderr.
lintian --pedantic --display-info --fail-on error,warning "$package" 2> >(grep -v 'running with root privileges' >&2)
echo "appstreamcli validate"
appstreamcli validate --no-net "$tree/usr/share/metainfo/example.linkvane.Linkvane.metainfo.xml"
# validate-tree passes a tree with no metainfo at all, hence the file first.
appstreamcli validate-tree --no-net "$tree"
echo "lint-package: $package passes"
