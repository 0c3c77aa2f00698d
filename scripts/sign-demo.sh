#!/usr/bin/env bash
# Signs the demo's text files with the demo key (demo/demo-signing.key, for the demo only), as a
# publisher signs the real ones: a .minisig beside each. Run it after changing a demo text file.
#   scripts/sign-demo.sh           sign them again
#   scripts/sign-demo.sh --check   only check that every signature is current and that the demo
#                                  preset names the demo key (a CTest test runs this)
# Ed25519 signatures are deterministic and the trusted comment is fixed, so signing unchanged
# files again changes nothing.
set -euo pipefail
cd -P "$(dirname "$0")/.."

files=(demo/content-server/document/AdminPm.txt demo/content-server/document/ADSBaner.txt
       demo/content-server/document/LinkBaner.txt demo/link-server/ads/link.txt)
public=demo/demo-signing.pub secret=demo/demo-signing.key

if [ "${1:-}" != --check ]; then
    scripts/install-deps.sh build
    for file in "${files[@]}"; do
        # Fields apart by tabs, as minisign writes its own: the program checks the file's name.
        minisign -S -s "$secret" -m "$file" -t "$(printf 'file:%s\tLinkvane demo content' "${file##*/}")" \
            -c "signature from the Linkvane demo key, for the demo only" >/dev/null </dev/null
    done
fi

failed=0
for file in "${files[@]}"; do
    if ! minisign -V -q -p "$public" -m "$file" </dev/null >/dev/null 2>&1; then
        echo "sign-demo: FAIL: $file.minisig is missing or not the demo key's signature of $file" \
            "(run scripts/sign-demo.sh)"
        failed=1
    fi
done
key=$(sed -n 2p "$public")
if ! grep -q "\"LINKVANE_SIGNING_KEY\": \"$key\"" CMakePresets.json; then
    echo "sign-demo: FAIL: the demo preset does not set LINKVANE_SIGNING_KEY to the key of $public"
    failed=1
fi
[ "$failed" -eq 0 ] && echo "sign-demo: ${#files[@]} demo files carry current signatures of the demo key"
exit $failed
