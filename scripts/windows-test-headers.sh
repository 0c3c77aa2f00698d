#!/usr/bin/env bash
# The header-only cpp-httplib for the Windows build of the tests' loopback server, from Debian's own
# cpp-httplib source, once per machine; prints the folder that holds httplib.h:
#   build/windows-deps/cpp-httplib-<Debian version>/include
# Debian's libcpp-httplib-dev installs the header split from its implementation (a Linux shared
# library), which the cross compiler cannot link; the source package keeps the whole header, with
# Debian's patches applied. When a folder made by this script version exists, it prints that one
# and does nothing else (no network, no apt).
#   scripts/windows-test-headers.sh
set -euo pipefail
cd -P "$(dirname "$0")/.."

# Bump when the steps change: every machine then fetches again.
readonly script_version=1
readonly deps=$PWD/build/windows-deps
readonly stamp_name=.linkvane-made-by
readonly stamp_text="scripts/windows-test-headers.sh version $script_version"

log() { echo "windows-test-headers: $*" >&2; }
die() { log "FAIL: $*"; exit 1; }

# shellcheck source=debian-source-lib.sh
. scripts/debian-source-lib.sh
linkvane_windows_library_start cpp-httplib include/httplib.h include
header=$src/httplib.h
[ -f "$header" ] || die "the cpp-httplib source has no httplib.h"
# The whole header defines the server's members inline; the split one only declares them.
grep -q 'inline Server::Server()' "$header" || die "$header is not the header-only cpp-httplib"

rm -rf "$prefix"
mkdir -p "$prefix/include"
cp "$header" "$prefix/include/httplib.h"
cp "$src/LICENSE" "$prefix/" 2>/dev/null || true
rm -rf "$work"
echo "$stamp_text" >"$prefix/$stamp_name"
log "done: $prefix/include"
echo "$prefix/include"
