#!/usr/bin/env bash
# Builds Linkvane against the demo content and runs it: the demo server plays the content server
# and the link-list server on two loopback ports, and stops when Linkvane ends.
# With no display, Linkvane runs for a few seconds in a private X server and a screenshot is saved.
#   scripts/run-demo.sh
set -euo pipefail
cd "$(dirname "$0")/.."

readonly content_port=47611 link_port=47612
readonly screenshot=build/demo/linkvane-demo.png

if [ -n "${DISPLAY:-}" ]; then scripts/install-deps.sh build; else scripts/install-deps.sh build display; fi
cmake --preset demo >/dev/null
cmake --build --preset demo -j "$(nproc)"

pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; wait 2>/dev/null || true; }
trap cleanup EXIT

build/demo/demo/linkvane-demo-server demo "$content_port" "$link_port" & pids+=($!)
for _ in $(seq 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$link_port") 2>/dev/null && break
    sleep 0.1
done

if [ -n "${DISPLAY:-}" ]; then
    build/demo/qt/linkvane
    exit 0
fi

. scripts/private-display.sh
start_private_display 1280x800
start_window_manager
LANG=C.UTF-8 build/demo/qt/linkvane & pids+=($!)
sleep 5
import -window root "$screenshot"
echo "No display here: Linkvane ran for 5 seconds in a private X server; screenshot saved to $screenshot"
