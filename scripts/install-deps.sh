#!/usr/bin/env bash
# Installs the Debian packages Linkvane needs that are not installed yet; does nothing when all are.
#   scripts/install-deps.sh [build] [display] [art] [package] [bench] [windows] [release] [fuzz] [unicode]
#     build:   compilers (native and the Windows cross compiler), CMake, Qt 6, libcurl, doctest,
#              the test web server library with OpenSSL and the openssl tool (the https tests make
#              their certificate authorities at test time), the fonts, the desktop entry checker,
#              libsodium and the minisign tool (the signature tests sign at test time) (default)
#     display: a private X server, window manager and screenshot tools, for the demo and end-to-end runs
#     art:     Pillow and the DejaVu fonts, to redraw resources/ and demo/ pictures with resources/draw-artwork.py
#     package: the Debian package tools and debootstrap, for scripts/package.sh and scripts/check-package.sh
#     bench:   the curl command-line tool, the anchor of the download benchmark (bench/run.sh)
#     windows: the mingw-w64 cross compiler (posix threads), Wine 8 with the free Tahoma, doctest,
#              NSIS, faketime, minisign and osslsigncode (Authenticode); dpkg-dev and autotools to
#              build the static libcurl and libsodium for Windows from Debian's sources
#              (scripts/build-curl-windows.sh, scripts/build-sodium-windows.sh)
#     release: minisign to sign SHA256SUMS, and for scripts/check-release.sh openssl (its
#              throw-away certificate), osslsigncode, faketime and diffoscope
#     fuzz:    clang with libFuzzer and the sanitizer runtimes, for scripts/fuzz.sh
#     unicode: the Unicode Character Database, to write forms/MarkTable.h again with
#              scripts/make-mark-table.py
set -euo pipefail

groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(build)

packages=()
for group in "${groups[@]}"; do
    case $group in
        # qt6-base-dev brings the Qt GUI library with its JPEG and GIF readers, which the banner
        # needs; it is not named itself because Ubuntu 24.04 calls it libqt6gui6t64.
        # doctest runs the core's suites; the stalled-lookup test sets up its namespaces with ip and
        # holds its silent name server in python3.
        build) packages+=(build-essential cmake pkg-config qt6-base-dev libgl-dev
                          libcurl4-openssl-dev libcpp-httplib-dev libssl-dev openssl doctest-dev
                          fonts-wine fonts-noto-core iproute2 python3
                          desktop-file-utils libsodium-dev minisign) ;;
        display) packages+=(xvfb openbox xdotool imagemagick x11-utils python3) ;;
        art) packages+=(python3-pil fonts-dejavu-core) ;;
        package) packages+=(dpkg-dev desktop-file-utils debootstrap lintian appstream) ;;
        bench) packages+=(curl) ;;
        # clang and libclang-rt-dev follow the release's default LLVM (14 on Debian 12).
        fuzz) packages+=(clang libclang-rt-dev) ;;
        unicode) packages+=(unicode-data python3) ;;
        # dpkg-dev unpacks `apt-get source curl`; Debian's curl patches change configure.ac and
        # Makefile.am, so autoconf, automake and libtool regenerate its build system; libsodium's
        # is regenerated the same way. The signature tests of the Windows suite sign with the
        # build machine's minisign.
        windows) packages+=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 fonts-wine
                            doctest-dev cmake make nsis faketime dpkg-dev autoconf automake libtool
                            minisign osslsigncode) ;;
        release) packages+=(minisign openssl osslsigncode faketime diffoscope) ;;
        *) echo "install-deps: unknown group '$group'" >&2; exit 2 ;;
    esac
done

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}"
as_root=()
# Without a terminal (CI) sudo must not wait for a password.
if [ "$(id -u)" -ne 0 ]; then
    if [ -t 0 ]; then as_root=(sudo); else as_root=(sudo -n); fi
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
