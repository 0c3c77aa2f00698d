#!/usr/bin/env bash
# Compiles every source file of the core with the Windows cross compiler, syntax only: a toolkit
# or POSIX include creeping into the core fails here before it fails the Windows build.
#   tests/core-syntax-mingw.sh COMPILER SOURCE_DIR GENERATED_DIR
set -euo pipefail
compiler=$1 source=$2 generated=$3

# libcurl's and libsodium's headers are the same on every platform; a private copy keeps the build
# machine's /usr/include off the cross compiler's path.
headers=$(mktemp -d)
trap 'rm -rf "$headers"' EXIT
curl_headers=$(dirname "$(find /usr/include -name curl.h -path '*curl/curl.h' | head -n 1)")
cp -r "$curl_headers" "$headers/curl"
cp -r /usr/include/sodium.h /usr/include/sodium "$headers/"

failed=0 count=0
for file in "$source"/{calendar,net,forms,app,windows}/*.cpp; do
    count=$((count + 1))
    if ! "$compiler" -std=c++20 -Wall -Wextra -fsyntax-only -DCURL_STATICLIB -DSODIUM_STATIC \
            -I"$source" -I"$generated" -I"$headers" "$file"; then
        echo "core-syntax-mingw: FAIL: $file"
        failed=1
    fi
done
echo "core-syntax-mingw: $count core files checked with $compiler"
exit $failed
