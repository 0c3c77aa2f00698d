#!/usr/bin/env bash
# The release check (CI runs it after scripts/package.sh and scripts/package-windows.sh):
# - scripts/release.sh in this tree, signing with a throw-away Authenticode certificate (openssl)
#   and minisign key made for the check; it reuses build/release and build/windows;
# - scripts/release.sh again in a copy of the sources in another folder, on a clock a year ahead,
#   built afresh (no compiler cache; only the static Windows libraries of build/windows-deps are
#   shared): both packages, SHA256SUMS and its signature, and linkvane.exe must be the same bytes,
#   or diffoscope shows where they differ;
# - the signatures: osslsigncode verify on the installer and on the program and uninstaller that
#   it installs into a fresh Wine prefix, where the program must start and show its window and the
#   uninstaller must remove everything; minisign -V and sha256sum -c on SHA256SUMS.
# Prints PASS or FAIL last; works in build/release-check and leaves no process behind.
#   scripts/check-release.sh
set -euo pipefail
cd -P "$(dirname "$0")/.."

readonly root=$PWD work=$PWD/build/release-check
readonly copy=$work/source files=build/release-files
readonly window_title="Linkvane v1.4"
readonly installed_program='C:\Program Files\Linkvane\linkvane.exe'
readonly uninstaller='C:\Program Files\Linkvane\Uninstall.exe'
result=FAIL
pids=()

log() { echo "check-release: $*" >&2; }
die() { log "$*"; exit 1; }
cleanup() {
    local pid
    [ -z "${WINEPREFIX:-}" ] || { wineserver -k; wineserver -w; } >/dev/null 2>&1 || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
    log "$result ($SECONDS s)"
    [ "$result" = PASS ]
}
trap cleanup EXIT

wait_for() {
    local seconds=$1
    shift
    for _ in $(seq "$((seconds * 10))"); do "$@" && return 0; sleep 0.1; done
    return 1
}

# The publisher's secrets, made anew for each check: a self-signed code-signing certificate in a
# PKCS#12 file locked by a password file, and a minisign key pair without a password.
make_throwaway_keys() {
    mkdir -p "$work/keys"
    local keys=$work/keys
    rm -f "$keys"/*
    openssl req -x509 -newkey rsa:3072 -sha256 -days 30 -nodes -subj "/CN=Linkvane release check" \
        -addext extendedKeyUsage=codeSigning -addext keyUsage=digitalSignature \
        -keyout "$keys/codesign.key" -out "$keys/codesign.pem" 2>/dev/null
    openssl rand -base64 24 >"$keys/codesign.password"
    openssl pkcs12 -export -inkey "$keys/codesign.key" -in "$keys/codesign.pem" \
        -passout "file:$keys/codesign.password" -out "$keys/codesign.pfx"
    minisign -G -W -f -p "$keys/minisign.pub" -s "$keys/minisign.key" >/dev/null
    export LINKVANE_CODESIGN_PFX=$keys/codesign.pfx LINKVANE_CODESIGN_PASSWORD_FILE=$keys/codesign.password
    export LINKVANE_RELEASE_KEY=$keys/minisign.key
    unset LINKVANE_CODESIGN_TIMESTAMP_URL
}

# The same sources in another folder, as the working tree has them (new files not yet committed
# too), with the times of the copy.
copy_sources() {
    rm -rf "$copy"
    mkdir -p "$copy/build"
    git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf - | tar -xf - --touch -C "$copy"
    ln -s "$root/build/windows-deps" "$copy/build/windows-deps"
}

# Every file of the release and the program as linked, compared with the copy's; diffoscope
# explains the first difference.
compare_builds() {
    local file differ=0
    for file in "$files"/* build/windows/win32/linkvane.exe; do
        [ -f "$copy/$file" ] || { log "the second build has no $file"; differ=1; continue; }
        if cmp -s "$file" "$copy/$file"; then
            log "same bytes: $(sha256sum "$file")"
        else
            log "DIFFERENT: $file; diffoscope:"
            timeout 600 diffoscope --no-progress --text - "$file" "$copy/$file" | head -n 120 >&2 || true
            differ=1
        fi
    done
    return "$differ"
}

verify_authenticode() {
    local file
    for file in "$@"; do
        osslsigncode verify -CAfile "$work/keys/codesign.pem" -in "$file" >"$work/verify.log" 2>&1 ||
            { cat "$work/verify.log" >&2; die "the Authenticode signature of $file does not verify"; }
        log "signed, and the signature verifies: $(basename "$file")"
    done
}

verify_checksums() {
    minisign -V -q -p "$work/keys/minisign.pub" -m "$files/SHA256SUMS" || die "SHA256SUMS: bad signature"
    (cd "$files" && sha256sum --quiet -c SHA256SUMS) || die "a file does not match SHA256SUMS"
    log "SHA256SUMS is signed and every file matches it"
}

main_window_shows() { xdotool search --onlyvisible --name "^${window_title}\$" >/dev/null 2>&1; }
installed_files() { ls "$WINEPREFIX/drive_c/Program Files/Linkvane" 2>/dev/null | xargs; }

# The signed installer installs silently into a fresh Wine prefix; what it installed is signed, the
# program starts and shows its window, and the uninstaller (in its copy, run after it returns)
# removes everything.
install_run_uninstall() {
    export LINKVANE_WINEPREFIX=$work/wine/prefix
    rm -rf "$work/wine"
    . scripts/wine-env.sh
    . scripts/private-display.sh
    start_private_display 1024x768 || die "no X server"
    start_window_manager || die "no window manager"
    linkvane_wine_ensure_prefix || die "no Wine prefix"
    wine "$(ls "$files"/linkvane-*-win64.exe)" /S >"$work/install.log" 2>&1 || die "the installer failed"
    [ "$(installed_files)" = "LICENSE.txt Uninstall.exe linkvane.exe" ] || die "installed: $(installed_files)"
    verify_authenticode "$WINEPREFIX/drive_c/Program Files/Linkvane/"{linkvane,Uninstall}.exe
    wine "$installed_program" >"$work/program.log" 2>&1 &
    pids+=($!)
    wait_for 60 main_window_shows || die "the installed program shows no window \"$window_title\""
    log "the installed program shows its window"
    wineserver -k >/dev/null 2>&1 || true
    wine "$uninstaller" /S >"$work/uninstall.log" 2>&1 || die "the uninstaller failed"
    wait_for 30 eval '[ ! -e "$WINEPREFIX/drive_c/Program Files/Linkvane" ]' ||
        die "left after uninstalling: $(installed_files)"
    log "installed, ran and uninstalled under Wine"
}

scripts/install-deps.sh build package windows display release
. scripts/source-date-epoch.sh
make_throwaway_keys
mkdir -p "$work"

log "the release, signed, from this tree"
scripts/release.sh >"$work/release.log" 2>&1 || { tail -n 30 "$work/release.log" >&2; die "release.sh failed"; }
verify_authenticode "$files"/linkvane-*-win64.exe
verify_checksums

log "the same release from a copy in $copy, built afresh a year later"
copy_sources
(
    unset CMAKE_CXX_COMPILER_LAUNCHER CMAKE_C_COMPILER_LAUNCHER
    # The clock moves on; the file times stay what the file system holds.
    export CCACHE_DISABLE=1 FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1
    faketime -f +365d "$copy/scripts/release.sh"
) >"$work/release-copy.log" 2>&1 || { tail -n 30 "$work/release-copy.log" >&2; die "release.sh failed in the copy"; }
compare_builds || die "two builds of the same sources differ"

install_run_uninstall
result=PASS
