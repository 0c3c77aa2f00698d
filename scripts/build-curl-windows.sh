#!/usr/bin/env bash
# Builds a static libcurl for 64-bit Windows (x86_64-w64-mingw32, Schannel TLS, HTTP and HTTPS
# only) from Debian's own curl source, once per machine, and prints its prefix on stdout:
#   build/windows-deps/curl-<Debian version>/   (include/, lib/libcurl.a, lib/pkgconfig/, bin/curl-config)
# Everything else (progress, logs) goes to stderr. When a prefix built by this script version
# exists, it prints that one and does nothing else (no network, no apt). Remove build/windows-deps
# (or bump script_version) to build again, e.g. for a newer Debian curl.
#   scripts/build-curl-windows.sh
# The source comes from `apt-get source curl` through a private source list: deb-src lines made
# from the machine's own apt sources of its release, with private lists and cache under
# build/windows-deps, so the system's apt configuration and state are left as they are. Only the
# missing packages (group windows) are installed as root, by install-deps.sh (sudo -n without a
# terminal when not root); the rest runs as the calling user. Takes about 1.5 min on 2 cores.
set -euo pipefail
cd -P "$(dirname "$0")/.."

# Bump when the configure options or the steps change: every machine then builds again.
readonly script_version=1
readonly host=x86_64-w64-mingw32
readonly deps=$PWD/build/windows-deps
readonly stamp_name=.linkvane-built-by
readonly stamp_text="scripts/build-curl-windows.sh version $script_version, host $host"

log() { echo "build-curl-windows: $*" >&2; }
die() { log "FAIL: $*"; exit 1; }

# shellcheck source=debian-source-lib.sh
. scripts/debian-source-lib.sh
linkvane_windows_library_start curl lib/libcurl.a

# Debian builds its libcurl4 (OpenSSL) flavour with the patches below the series' "Do not add
# patches below" line popped: they rename the library to libcurl-gnutls / libcurl-nss. So do we.
mapfile -t flavour_patches < <(sed -n '/^# Do not add patches below/,$p' "$src/debian/patches/series" |
    grep -v -e '^#' -e '^[[:space:]]*$' | tac)
for patch in "${flavour_patches[@]}"; do
    log "reverting the flavour patch $patch"
    patch -d "$src" -R -p1 -s <"$src/debian/patches/$patch" || die "cannot revert $patch"
done
grep -q '^lib_LTLIBRARIES = libcurl.la$' "$src/lib/Makefile.am" ||
    die "lib/Makefile.am does not build libcurl.la after reverting the flavour patches"

# Debian's patches change configure.ac and Makefile.am: regenerate, as dh_autoreconf does.
log "autoreconf"
(cd "$src" && autoreconf -fi) >"$work/autoreconf.log" 2>&1 ||
    { tail -n 30 "$work/autoreconf.log" >&2; die "autoreconf failed"; }

rm -rf "$prefix"
configure_options=(
    --host="$host" --prefix="$prefix"
    --disable-shared --enable-static
    --with-schannel --without-ca-bundle --without-ca-path
    # HTTP and HTTPS only.
    --enable-http --disable-ftp --disable-file --disable-ldap --disable-ldaps --disable-rtsp
    --disable-dict --disable-telnet --disable-tftp --disable-pop3 --disable-imap --disable-smb
    --disable-smtp --disable-gopher --disable-mqtt --disable-ntlm-wb
    # Name lookups in a Win32 thread (not winpthreads), so a lookup can be abandoned.
    --enable-threaded-resolver --disable-pthreads --disable-ares
    # No other library: everything but the Windows system DLLs would have to be built too.
    --without-zlib --without-brotli --without-zstd --without-libpsl --without-libgsasl
    --without-libssh2 --without-libssh --without-librtmp --without-winidn --without-libidn2
    --without-nghttp2 --without-ngtcp2 --without-nghttp3 --without-quiche --without-msh3
    --without-hyper
    --disable-manual --without-zsh-functions-dir --without-fish-functions-dir
    --disable-debug --enable-optimize --disable-curldebug --disable-dependency-tracking
)
log "configure"
# The mingw pkg-config only: a host library must never be found.
(cd "$src" && PKG_CONFIG="$host-pkg-config" ./configure "${configure_options[@]}") \
    >"$work/configure.log" 2>&1 || { tail -n 30 "$work/configure.log" >&2; die "configure failed"; }
grep -q '^  SSL: *enabled (Schannel)' "$work/configure.log" || die "configure did not enable Schannel"
grep -q '^  Protocols: *HTTP HTTPS$' "$work/configure.log" || die "configure enabled other protocols than HTTP and HTTPS"

log "make (lib only)"
jobs=$(nproc)
{ make -C "$src/lib" -j "$jobs" && make -C "$src/lib" install && make -C "$src/include" install &&
    make -C "$src" install-pkgconfigDATA install-binSCRIPTS; } >"$work/make.log" 2>&1 ||
    { tail -n 30 "$work/make.log" >&2; die "make failed"; }
[ -f "$prefix/lib/libcurl.a" ] || die "no $prefix/lib/libcurl.a after make install"

sed -n '/^  curl version:/,/^  Features:/p' "$work/configure.log" >"$prefix/build-summary.txt"
cp "$work/apt/sources.list" "$prefix/apt-sources.list"
echo "built in $SECONDS s on $(nproc) cores, $(date -u +%Y-%m-%dT%H:%MZ)" >>"$prefix/build-summary.txt"
rm -rf "$work"
echo "$stamp_text" >"$prefix/$stamp_name"
log "done in $SECONDS s: $prefix"
echo "$prefix"
