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
readonly script_version=2
readonly host=x86_64-w64-mingw32
readonly deps=$PWD/build/windows-deps
readonly stamp_name=.linkvane-built-by
readonly stamp_text="scripts/build-sodium-windows.sh version $script_version, host $host"

log() { echo "build-sodium-windows: $*" >&2; }
die() { log "FAIL: $*"; exit 1; }

# shellcheck source=debian-source-lib.sh
. scripts/debian-source-lib.sh
linkvane_windows_library_start libsodium lib/libsodium.a

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
# Its assertions name their source files: relative to the source folder, so that the library (and
# the program that links it) is the same wherever it was built.
(cd "$src" && PKG_CONFIG="$host-pkg-config" CPPFLAGS="-ffile-prefix-map=$src/=" ./configure "${configure_options[@]}") \
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
