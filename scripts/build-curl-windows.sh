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

# A prefix built by this script version, if any (the newest Debian version first).
built_prefix() {
    local dir
    for dir in $(ls -d "$deps"/curl-*/ 2>/dev/null | sort -rV); do
        dir=${dir%/}
        if [ -f "$dir/$stamp_name" ] && [ "$(cat "$dir/$stamp_name")" = "$stamp_text" ] &&
            [ -f "$dir/lib/libcurl.a" ]; then
            echo "$dir"
            return 0
        fi
    done
    return 1
}

if prefix=$(built_prefix); then echo "$prefix"; exit 0; fi

mkdir -p "$deps"
# One build at a time (two configures of the Windows build may start this together).
exec 9>"$deps/.lock"
flock 9
if prefix=$(built_prefix); then echo "$prefix"; exit 0; fi

SECONDS=0
scripts/install-deps.sh windows >&2

# deb-src lines for the sources of this release (its suite, -updates, -security, ...) from the
# machine's own apt configuration, in either format (one-line .list, deb822 .sources).
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
[ -n "$codename" ] || die "no VERSION_CODENAME in /etc/os-release"
deb_src_lines() {
    {
        [ ! -f /etc/apt/sources.list ] || cat /etc/apt/sources.list
        for f in /etc/apt/sources.list.d/*.list; do [ ! -f "$f" ] || cat "$f"; done
    } | awk -v codename="$codename" '
        { sub(/#.*/, "") }
        $1 == "deb" {
            opts = ""; i = 2
            if ($2 ~ /^\[/) { opts = $2; i = 3; while (opts !~ /\]$/ && i <= NF) { opts = opts " " $i; i++ } }
            uri = $i; suite = $(i + 1); comps = ""
            for (j = i + 2; j <= NF; j++) comps = comps " " $j
            if (suite ~ "^" codename "(-[a-z]+)?/?$") print "deb-src", opts, uri, suite comps
        }'
    for f in /etc/apt/sources.list.d/*.sources; do [ ! -f "$f" ] || { cat "$f"; echo; }; done | awk -v codename="$codename" '
        function flush(   n, i, j, us, ss, opt) {
            if (types ~ /(^| )deb( |$)/ && enabled != "no") {
                opt = signed != "" ? "[signed-by=" signed "] " : ""
                n = split(uris, us, " "); split(suites, ss, " ")
                for (i = 1; i <= n; i++) for (j in ss)
                    if (ss[j] ~ "^" codename "(-[a-z]+)?$") print "deb-src " opt us[i], ss[j], comps
            }
            types = uris = suites = comps = signed = enabled = ""
        }
        /^[ \t]*#/ { next }
        /^[ \t]*$/ { flush(); next }
        /^[ \t]/ { next }
        {
            key = tolower($1); sub(/:$/, "", key); val = $0; sub(/^[^:]*:[ \t]*/, "", val)
            if (key == "types") types = val; else if (key == "uris") uris = val
            else if (key == "suites") suites = val; else if (key == "components") comps = val
            else if (key == "signed-by") signed = val; else if (key == "enabled") enabled = tolower(val)
        }
        END { flush() }'
}

work=$deps/work
rm -rf "$work"
mkdir -p "$work/apt/lists/partial" "$work/apt/cache" "$work/src"
deb_src_lines | sort -u >"$work/apt/sources.list"
[ -s "$work/apt/sources.list" ] || die "no apt source for $codename found in /etc/apt"
log "private deb-src list: $(awk '{ print $(NF-1) }' "$work/apt/sources.list" | xargs)"
apt_private=(-o "Dir::Etc::SourceList=$work/apt/sources.list" -o Dir::Etc::SourceParts=-
    -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache")
apt-get "${apt_private[@]}" -q update >"$work/apt-update.log" 2>&1 ||
    { cat "$work/apt-update.log" >&2; die "apt-get update of the private source list failed"; }

# The candidate source: the .dsc apt would fetch names the Debian version.
dsc=$(apt-get "${apt_private[@]}" source --print-uris --only-source curl 2>/dev/null |
    awk '$2 ~ /^curl_.*\.dsc$/ { print $2; exit }')
[ -n "$dsc" ] || die "apt-get source finds no curl source"
version=${dsc#curl_}
version=${version%.dsc}
prefix=$deps/curl-$version
log "curl $version from Debian -> $prefix"

# Download as the calling user: apt's _apt sandbox could not write into the work tree.
(cd "$work/src" && apt-get "${apt_private[@]}" -o APT::Sandbox::User="$(id -un)" -q source \
    --download-only --only-source "curl=$version" >"$work/apt-source.log" 2>&1) ||
    { cat "$work/apt-source.log" >&2; die "apt-get source curl failed"; }
src=$work/src/curl
dpkg-source -x "$work/src/$dsc" "$src" >"$work/dpkg-source.log" 2>&1 ||
    { cat "$work/dpkg-source.log" >&2; die "dpkg-source -x failed"; }

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
