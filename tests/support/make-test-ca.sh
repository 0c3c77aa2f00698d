#!/usr/bin/env bash
# Makes in DIR, for the loopback TLS tests: ca.pem, which signed server.pem (IP 127.0.0.1, key in
# server-key.pem), and other-ca.pem, which signed nothing the server shows.   make-test-ca.sh DIR
set -euo pipefail
dir=$1
rm -rf "$dir"
mkdir -p "$dir"
cd "$dir"

key=(-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes)
authority() {  # NAME FILE_PREFIX
    openssl req -x509 "${key[@]}" -keyout "$2-key.pem" -out "$2.pem" -days 7 -subj "/CN=$1" \
        -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
        2>/dev/null
}
authority "Linkvane test authority" ca
authority "Linkvane other test authority" other-ca

openssl req "${key[@]}" -keyout server-key.pem -out server.csr -subj "/CN=127.0.0.1" 2>/dev/null
printf '%s\n' "subjectAltName=IP:127.0.0.1" "basicConstraints=CA:FALSE" \
    "keyUsage=critical,digitalSignature" "extendedKeyUsage=serverAuth" >server.ext
openssl x509 -req -in server.csr -CA ca.pem -CAkey ca-key.pem -CAcreateserial -days 7 \
    -extfile server.ext -out server.pem 2>/dev/null
openssl verify -CAfile ca.pem server.pem >/dev/null
