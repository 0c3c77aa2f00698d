#!/usr/bin/env bash
# Builds a static libsodium for 64-bit Windows (x86_64-w64-mingw32) from Debian's own libsodium
# source, once per machine, and prints its prefix on stdout:
#   build/windows-deps/libsodium-<Debian version>/   (include/, lib/libsodium.a)
# Everything else (progress, logs) goes to stderr. When a prefix built by this script version
# exists, it prints that one and does nothing else (no network, no apt). Remove the prefix (or bump
# script_version) to build again, e.g. for a newer Debian libsodium.
#   scripts/build-sodium-windows.sh
# The source comes from `apt-get source libsodium` through a private source list, as for libcurl
# (scripts/build-curl-windows.sh, scripts/debian-source-lib.sh). Takes about 2 min on 2 cores.
set -euo pipefail
cd -P "$(dirname "$0")/.."

# Bump when the configure options or the steps change: every machine then builds again.
readonly script_version=1
readonly host=x86_64-w64-mingw32
readonly deps=$PWD/build/windows-deps
readonly stamp_name=.linkvane-built-by
readonly stamp_text="scripts/build-sodium-windows.sh version $script_version, host $host"

log() { echo "build-sodium-windows: $*" >&2; }
die() { log "FAIL: $*"; exit 1; }

# A prefix built by this script version, if any (the newest Debian version first).
built_prefix() {
    local dir
    for dir in $(ls -d "$deps"/libsodium-*/ 2>/dev/null | sort -rV); do
        dir=${dir%/}
        if [ -f "$dir/$stamp_name" ] && [ "$(cat "$dir/$stamp_name")" = "$stamp_text" ] &&
            [ -f "$dir/lib/libsodium.a" ]; then
            echo "$dir"
            return 0
        fi
    done
    return 1
}

if prefix=$(built_prefix); then echo "$prefix"; exit 0; fi

mkdir -p "$deps"
# One build at a time; the libcurl build has its own lock and work folder.
exec 9>"$deps/.lock-libsodium"
flock 9
if prefix=$(built_prefix); then echo "$prefix"; exit 0; fi

SECONDS=0
scripts/install-deps.sh windows >&2

# shellcheck source=debian-source-lib.sh
. scripts/debian-source-lib.sh
work=$deps/work-libsodium
linkvane_debian_source libsodium "$work"
version=$source_version
src=$source_dir
prefix=$deps/libsodium-$version
log "libsodium $version from Debian -> $prefix"

# Debian's build regenerates the build system (dh_autoreconf); so do we, in case a patch touches it.
log "autoreconf"
(cd "$src" && autoreconf -fi) >"$work/autoreconf.log" 2>&1 ||
    { tail -n 30 "$work/autoreconf.log" >&2; die "autoreconf failed"; }

rm -rf "$prefix"
configure_options=(
    --host="$host" --prefix="$prefix"
    --disable-shared --enable-static
    --disable-debug --disable-dependency-tracking
)
log "configure"
(cd "$src" && PKG_CONFIG="$host-pkg-config" ./configure "${configure_options[@]}") \
    >"$work/configure.log" 2>&1 || { tail -n 30 "$work/configure.log" >&2; die "configure failed"; }

log "make (library only)"
{ make -C "$src/src/libsodium" -j "$(nproc)" && make -C "$src/src/libsodium" install; } \
    >"$work/make.log" 2>&1 || { tail -n 30 "$work/make.log" >&2; die "make failed"; }
[ -f "$prefix/lib/libsodium.a" ] && [ -f "$prefix/include/sodium.h" ] ||
    die "no $prefix/lib/libsodium.a or include/sodium.h after make install"

cp "$work/apt/sources.list" "$prefix/apt-sources.list"
echo "libsodium $version built in $SECONDS s on $(nproc) cores, $(date -u +%Y-%m-%dT%H:%MZ)" \
    >"$prefix/build-summary.txt"
rm -rf "$work"
echo "$stamp_text" >"$prefix/$stamp_name"
log "done in $SECONDS s: $prefix"
echo "$prefix"
