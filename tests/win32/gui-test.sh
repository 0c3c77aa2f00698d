#!/usr/bin/env bash
# Runs a Windows test program that shows windows: under Wine, in a private X server with a window
# manager, in the Wine prefix LINKVANE_WINEPREFIX (made on first use), whose wineserver it starts
# and ends. Its exit status is the program's.
#   tests/win32/gui-test.sh PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
pids=()
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT

. "$root/scripts/private-display.sh"
start_private_display 1024x768
start_window_manager
# The X server first: Wine's desktop process takes the display of the first program.
. "$root/scripts/wine-env.sh"
linkvane_wine_ensure_prefix
status=0
wine "$@" || status=$?
exit "$status"
