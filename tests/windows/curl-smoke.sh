#!/usr/bin/env bash
# The Windows libcurl against a loopback server, under Wine: the body of http://127.0.0.1:PORT/
# arrives byte for byte, and a connect to a loopback port nobody listens on fails fast.
#   tests/windows/curl-smoke.sh CURL_SMOKE_EXE [RUNNER...]
#   RUNNER: how to start a Windows program (default: scripts/wine-run.sh)
# The server is python3's http.server on 127.0.0.1 only, on a port the system chooses.
set -euo pipefail
exe=$(realpath "$1")
shift
runner=("$@")
[ ${#runner[@]} -gt 0 ] || runner=("$(dirname "$(realpath "$0")")/../../scripts/wine-run.sh")
readonly fast_ms=5000

tmp=$(mktemp -d)
server_pid=""
cleanup() {
    [ -z "$server_pid" ] || { kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; }
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "curl-smoke: FAIL: $*" >&2; exit 1; }

mkdir "$tmp/www"
# Persian text (Windows-1256 bytes are not needed here: the transfer is byte for byte), line breaks
# of both kinds and a byte above 0x7f.
printf 'Linkvane \xd8\xb1\xd9\x81\xd8\xaa\xd9\x86\r\nline two\nend \xff\n' >"$tmp/www/index.html"

python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$tmp/www" >"$tmp/server.log" 2>&1 </dev/null &
server_pid=$!
port=""
for _ in $(seq 100); do
    port=$(sed -n 's/^Serving HTTP on 127\.0\.0\.1 port \([0-9]*\) .*/\1/p' "$tmp/server.log")
    [ -z "$port" ] || break
    kill -0 "$server_pid" 2>/dev/null || { cat "$tmp/server.log" >&2; fail "the server did not start"; }
    sleep 0.1
done
[ -n "$port" ] || fail "the server gave no port"

start=$(date +%s%N)
"${runner[@]}" "$exe" "http://127.0.0.1:$port/" >"$tmp/body" 2>"$tmp/err" || { cat "$tmp/err" >&2; fail "the fetch failed"; }
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
cat "$tmp/err" >&2
cmp "$tmp/www/index.html" "$tmp/body" || fail "the body differs from what the server sent"
echo "curl-smoke: body of http://127.0.0.1:$port/ ($(stat -c %s "$tmp/body") bytes) arrived byte for byte; the Wine run took $elapsed_ms ms"

# A port that was free a moment ago: connecting is refused at once (no connect time-out to wait for).
dead_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
start=$(date +%s%N)
if "${runner[@]}" "$exe" "http://127.0.0.1:$dead_port/" 20000 >"$tmp/body" 2>"$tmp/err"; then
    fail "a fetch from the dead port $dead_port succeeded"
fi
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
cat "$tmp/err" >&2
grep -q "(7: " "$tmp/err" || fail "the dead port did not give CURLE_COULDNT_CONNECT"
[ ! -s "$tmp/body" ] || fail "the dead port gave a body"
[ "$elapsed_ms" -lt "$fast_ms" ] || fail "the dead port took $elapsed_ms ms (limit $fast_ms ms)"
echo "curl-smoke: http://127.0.0.1:$dead_port/ (nobody listening) failed in $elapsed_ms ms as it should"
echo "curl-smoke: PASS"
