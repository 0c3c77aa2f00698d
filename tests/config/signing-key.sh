#!/usr/bin/env bash
# The build's signing key: empty or a minisign public key passes, anything else stops the configure
# step with a message that says why, a real configure of the project in a scratch tree included.
#   tests/config/signing-key.sh CMAKE SOURCE_DIR SCRATCH_DIR
set -uo pipefail
cmake=$1 source=$2 scratch=$3
failures=0 checked=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
one_line() { tr '\n' ' ' | tr -s ' '; }
check_key() {
    "$cmake" -DSOURCE_DIR="$source" -DLINKVANE_SIGNING_KEY="$1" \
        -P "$source/tests/config/check-signing-key.cmake" 2>&1 | one_line
}

demo_key=$(sed -n 2p "$source/demo/demo-signing.pub")
for key in "" "$demo_key"; do
    checked=$((checked + 1))
    output=$(check_key "$key") || fail "refused the good key '$key': $output"
done

# bad value | what the message must say about it
rejected=(
    "untrusted comment: minisign public key 0123456789ABCDEF|that is the comment line of minisign.pub"
    "${demo_key:0:55}|it has 55 characters, a minisign public key has 56"
    "$demo_key=|it has 57 characters"
    " ${demo_key:1}|it is not base64"
    "${demo_key:0:20}-${demo_key:21}|it is not base64"
    "RWU${demo_key:3}|it does not start with \"RW\""
    "AAAA${demo_key:4}|it does not start with \"RW\""
)
for case in "${rejected[@]}"; do
    key=${case%|*} expected=${case##*|}
    checked=$((checked + 1))
    if output=$(check_key "$key"); then
        fail "accepted the bad key '$key'"
    elif [[ $output != *"LINKVANE_SIGNING_KEY is not a minisign public key: $expected"* ]]; then
        fail "the message for '$key' does not say '$expected': $output"
    fi
done

rm -rf "$scratch"
checked=$((checked + 1))
if output=$("$cmake" -S "$source" -B "$scratch" -DBUILD_TESTING=OFF \
        "-DLINKVANE_SIGNING_KEY=RW-not-a-key" 2>&1 | one_line); then
    fail "a configure with a bad signing key succeeded"
elif [[ $output != *"LINKVANE_SIGNING_KEY is not a minisign public key"* ]]; then
    fail "the configure failed without saying the signing key is bad: $output"
fi
rm -rf "$scratch"

echo "signing-key: $checked values checked, $failures failed"
[ "$failures" -eq 0 ]
