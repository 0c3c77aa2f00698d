#!/usr/bin/env bash
# Makes in DIR, with the minisign tool, two key pairs (publisher, other) and signatures of two small
# files for the signature checks; thrown away with the build tree.   make-test-signatures.sh DIR
set -euo pipefail
dir=$1
rm -rf "$dir"
mkdir -p "$dir"
cd "$dir"

# -W: no password, so nothing waits for a terminal.
minisign -G -W -p publisher.pub -s publisher.key >/dev/null </dev/null
minisign -G -W -p other.pub -s other.key >/dev/null </dev/null
# Windows-1256 bytes, a CRLF and no final line break: the signature covers the bytes as they are.
printf 'http://site.example/\xc7\xe1\xdf\r\nline two' >file.txt
printf 'http://other.example/\n' >other.txt
sign() { minisign -S -s "$1" -m "$2" -x "$3" "${@:4}" >/dev/null </dev/null; }
sign publisher.key file.txt file.txt.minisig -t "file:file.txt, a trusted comment"
sign publisher.key file.txt file.txt.legacy.minisig -l
sign other.key file.txt file.txt.other-key.minisig
sign publisher.key other.txt other.txt.minisig
minisign -V -q -p publisher.pub -m file.txt </dev/null
