#!/usr/bin/env bash
# Makes, at test time with the minisign tool, two key pairs and signatures of two small files for
# the signature checks. The keys are made here and thrown away with the build tree.
#   tests/support/make-test-signatures.sh DIR
#   DIR/publisher.pub, DIR/other.pub      public keys (minisign.pub format)
#   DIR/file.txt, DIR/other.txt           the signed files
#   DIR/file.txt.minisig                  file.txt signed by the publisher, as minisign signs by default
#   DIR/file.txt.legacy.minisig           the same in the legacy format (the file itself signed)
#   DIR/file.txt.other-key.minisig        file.txt signed by the other key
#   DIR/other.txt.minisig                 other.txt signed by the publisher
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
echo "make-test-signatures: test keys and signatures in $dir"
