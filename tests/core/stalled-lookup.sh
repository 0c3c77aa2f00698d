#!/usr/bin/env bash
# Runs test_net's stalled-lookup case in private namespaces whose one name server never answers, and
# checks that the program still ends at once; 77: skipped.   tests/core/stalled-lookup.sh TEST_NET
set -uo pipefail
readonly skipped=77 ending_limit_s=15
skip() { echo "stalled-lookup: SKIP: $*"; exit $skipped; }
namespace=(unshare --user --map-root-user --net --mount)
"${namespace[@]}" true 2>/dev/null || skip "private user, network and mount namespaces are not allowed here"

resolv_conf=$(mktemp)
trap 'rm -f "$resolv_conf"' EXIT
printf '%s\n' "nameserver 127.0.0.1" "options timeout:30 attempts:5" >"$resolv_conf"  # the longest waits
setup='ip link set lo up && mount --bind "$1" /etc/resolv.conf || exit 77
shift
exec "$@"'
# The silent name server: a socket on 127.0.0.1:53 that nobody reads, for the program's lifetime.
silent='import socket, subprocess, sys
udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
udp.bind(("127.0.0.1", 53))
sys.exit(subprocess.call(sys.argv[1:]))'
# A probe lookup still waiting after 1.5 s: this system's resolver really asks that name server.
probe='timeout 1.5 getent hosts probe.linkvane.example
[ $? -eq 124 ] || exit 77
exec "$@"'

start=$(date +%s%N)
timeout 120 "${namespace[@]}" bash -c "$setup" - "$resolv_conf" python3 -c "$silent" \
    bash -c "$probe" - "$1" --no-skip --test-case='*lookup that never answers*'
status=$?
took_ms=$((($(date +%s%N) - start) / 1000000))
echo "stalled-lookup: the program ran for $took_ms ms in all"
[ "$status" -ne $skipped ] || skip "no loopback, no private resolv.conf, or a resolver that does not ask it"
[ "$status" -eq 0 ] || exit "$status"
if [ -z "${LINKVANE_UNTIMED:-}" ] && [ "$took_ms" -ge $((ending_limit_s * 1000)) ]; then
    echo "stalled-lookup: FAIL: the program waited for the resolver before it ended"
    exit 1
fi
