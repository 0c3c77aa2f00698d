#!/usr/bin/env bash
# Runs the stalled-lookup tests in a private user, network and mount namespace, where the program
# can have a name server on loopback that never answers, and checks that the program also ends at
# once afterwards although the system resolver is still waiting (for up to 150 s).
# Exit status 77 (skipped, with a message) where such namespaces are not allowed.
#   tests/core/stalled-lookup.sh PROGRAM
set -uo pipefail
program=$1
readonly skipped=77 ending_limit_s=15

namespace=(unshare --user --map-root-user --net --mount)
if ! "${namespace[@]}" true 2>/dev/null; then
    echo "stalled-lookup: SKIP: private user, network and mount namespaces are not allowed here"
    exit $skipped
fi
if [ ! -e /etc/resolv.conf ]; then
    echo "stalled-lookup: SKIP: no /etc/resolv.conf to bind a private one over"
    exit $skipped
fi

resolv_conf=$(mktemp)
trap 'rm -f "$resolv_conf"' EXIT
printf '%s\n' "nameserver 127.0.0.1" "options timeout:30 attempts:5" >"$resolv_conf"

start=$(date +%s%N)
LINKVANE_STALLED_RESOLV_CONF=$resolv_conf timeout 120 "${namespace[@]}" "$program"
status=$?
took_ms=$((($(date +%s%N) - start) / 1000000))
echo "stalled-lookup: the program ran for $took_ms ms in all"
[ "$status" -eq 0 ] || exit "$status"
if [ "$took_ms" -ge $((ending_limit_s * 1000)) ]; then
    echo "stalled-lookup: FAIL: the program waited for the resolver before it ended"
    exit 1
fi
