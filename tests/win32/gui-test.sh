#!/usr/bin/env bash
# Runs a Windows test program that shows windows: under Wine, in a private X server with a window
# manager, in the Wine prefix LINKVANE_WINEPREFIX (made on first use), whose wineserver it starts
# and ends. Its exit status is the program's. With LINKVANE_WINE_DPI set, the screen has that
# resolution in dots per inch for the run (the prefix's LogPixels, put back to 96 afterwards).
#   tests/win32/gui-test.sh PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
pids=()
readonly resolution_key='HKCU\Control Panel\Desktop'
cleanup() {
    if [ -n "${LINKVANE_WINE_DPI:-}" ]; then
        wine reg delete "$resolution_key" /v LogPixels /f >/dev/null 2>&1 || true
    fi
    wineserver -k >/dev/null 2>&1 || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT

. "$root/scripts/private-display.sh"
# Room for the main window at 200 %.
start_private_display 1600x1000
start_window_manager
# The X server first: Wine's desktop process takes the display of the first program.
. "$root/scripts/wine-env.sh"
linkvane_wine_ensure_prefix
if [ -n "${LINKVANE_WINE_DPI:-}" ]; then
    # Read when a program starts: set before the program, with no Wine program running.
    wine reg add "$resolution_key" /v LogPixels /t REG_DWORD /d "$LINKVANE_WINE_DPI" /f >/dev/null 2>&1
    wineserver -w
fi
status=0
wine "$@" || status=$?
exit "$status"
