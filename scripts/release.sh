#!/usr/bin/env bash
# A release in one command: the Debian package (scripts/package.sh) and the Windows installer
# (scripts/package-windows.sh), copied to build/release-files/ beside SHA256SUMS, their checksums,
# which the publisher's minisign key signs (SHA256SUMS.minisig). Two runs on one commit give the
# same bytes, wherever and whenever they run; scripts/check-release.sh proves it.
#   scripts/release.sh [CMAKE_ARGUMENTS...]   for both builds, e.g. -DLINKVANE_CONTENT_SERVER=host:port
#   LINKVANE_RELEASE_KEY    the publisher's minisign secret key; unset: SHA256SUMS is not signed
#                           (a key made with minisign -G -W asks for no password)
#   LINKVANE_CODESIGN_PFX, LINKVANE_CODESIGN_PASSWORD_FILE, LINKVANE_CODESIGN_TIMESTAMP_URL
#                           the Authenticode certificate for the Windows files (scripts/codesign.sh)
#   SOURCE_DATE_EPOCH       the one date in the release (default: the last commit's time)
set -euo pipefail
cd "$(dirname "$0")/.."
readonly out=build/release-files
log() { echo "release: $*" >&2; }

. scripts/source-date-epoch.sh
if [ -n "${LINKVANE_RELEASE_KEY:-}" ]; then
    [ -r "$LINKVANE_RELEASE_KEY" ] || { log "cannot read the minisign key $LINKVANE_RELEASE_KEY"; exit 2; }
    scripts/install-deps.sh release
fi
# A file left from an earlier version must not be taken for this one's.
rm -rf "$out" build/release/linkvane_*.deb build/windows/linkvane-*-win64.exe
scripts/package.sh "$@"
scripts/package-windows.sh "$@"

mkdir -p "$out"
cp build/release/linkvane_*.deb build/windows/linkvane-*-win64.exe "$out/"
(cd "$out" && sha256sum -- *.deb *.exe >SHA256SUMS)
if [ -n "${LINKVANE_RELEASE_KEY:-}" ]; then
    # The trusted comment carries the release's date, not the signing moment, so that the signature
    # too is the same each time.
    minisign -S -s "$LINKVANE_RELEASE_KEY" -m "$out/SHA256SUMS" \
        -t "$(printf 'timestamp:%s\tfile:SHA256SUMS' "$SOURCE_DATE_EPOCH")" >/dev/null
fi
log "in $out:"
(cd "$out" && ls -l && cat SHA256SUMS) >&2
