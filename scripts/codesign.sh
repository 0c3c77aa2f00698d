#!/usr/bin/env bash
# Signs one Windows program in place with the publisher's Authenticode certificate (osslsigncode,
# SHA-256). The signing time is SOURCE_DATE_EPOCH, so that two builds signed with one certificate
# are byte for byte the same; a time-stamp server (which needs the network) makes each signature
# different and is left out unless named.
#   scripts/codesign.sh FILE.exe
#   LINKVANE_CODESIGN_PFX             the certificate and its key, a PKCS#12 file (required)
#   LINKVANE_CODESIGN_PASSWORD_FILE   a file holding its password; unset for a password-less one
#   LINKVANE_CODESIGN_TIMESTAMP_URL   an RFC 3161 time-stamp server; unset for none
#   SOURCE_DATE_EPOCH                 the signing time (default: the last commit's time)
# The package scripts call it (cmake/WindowsSigning.cmake): the program, the uninstaller, the installer.
set -euo pipefail
file=${1:?usage: codesign.sh FILE.exe}
log() { echo "codesign: $*" >&2; }

[ -n "${LINKVANE_CODESIGN_PFX:-}" ] || { log "LINKVANE_CODESIGN_PFX names no certificate"; exit 2; }
[ -r "$LINKVANE_CODESIGN_PFX" ] || { log "cannot read the certificate $LINKVANE_CODESIGN_PFX"; exit 2; }
. "$(dirname "$0")/source-date-epoch.sh"

options=(sign -pkcs12 "$LINKVANE_CODESIGN_PFX" -h sha256 -n Linkvane -time "$SOURCE_DATE_EPOCH")
if [ -n "${LINKVANE_CODESIGN_PASSWORD_FILE:-}" ]; then
    [ -r "$LINKVANE_CODESIGN_PASSWORD_FILE" ] || { log "cannot read $LINKVANE_CODESIGN_PASSWORD_FILE"; exit 2; }
    options+=(-readpass "$LINKVANE_CODESIGN_PASSWORD_FILE")
fi
[ -z "${LINKVANE_CODESIGN_TIMESTAMP_URL:-}" ] || options+=(-ts "$LINKVANE_CODESIGN_TIMESTAMP_URL")

signed=$file.signed
rm -f "$signed"
osslsigncode "${options[@]}" -in "$file" -out "$signed" >"$signed.log" 2>&1 ||
    { cat "$signed.log" >&2; rm -f "$signed" "$signed.log"; log "could not sign $file"; exit 1; }
rm -f "$signed.log"
chmod --reference="$file" "$signed"
mv -f "$signed" "$file"
log "signed $(basename "$file")"
