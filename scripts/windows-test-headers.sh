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

made_include_dir() {
    local dir
    for dir in $(ls -d "$deps"/cpp-httplib-*/ 2>/dev/null | sort -rV); do
        dir=${dir%/}
        if [ -f "$dir/$stamp_name" ] && [ "$(cat "$dir/$stamp_name")" = "$stamp_text" ] &&
            [ -f "$dir/include/httplib.h" ]; then
            echo "$dir/include"
            return 0
        fi
    done
    return 1
}

if include_dir=$(made_include_dir); then echo "$include_dir"; exit 0; fi
mkdir -p "$deps"
exec 9>"$deps/.lock-cpp-httplib"
flock 9
if include_dir=$(made_include_dir); then echo "$include_dir"; exit 0; fi

scripts/install-deps.sh windows >&2
# shellcheck source=debian-source-lib.sh
. scripts/debian-source-lib.sh
work=$deps/work-cpp-httplib
linkvane_debian_source cpp-httplib "$work"
header=$source_dir/httplib.h
[ -f "$header" ] || die "the cpp-httplib source has no httplib.h"
# The whole header defines the server's members inline; the split one only declares them.
grep -q 'inline Server::Server()' "$header" || die "$header is not the header-only cpp-httplib"

prefix=$deps/cpp-httplib-$source_version
rm -rf "$prefix"
mkdir -p "$prefix/include"
cp "$header" "$prefix/include/httplib.h"
cp "$source_dir/LICENSE" "$prefix/" 2>/dev/null || true
rm -rf "$work"
echo "$stamp_text" >"$prefix/$stamp_name"
log "cpp-httplib $source_version -> $prefix/include"
echo "$prefix/include"
