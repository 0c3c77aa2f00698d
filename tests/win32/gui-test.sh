#!/usr/bin/env bash
# Runs a Windows test program that shows windows under Wine, in a private X server with a window
# manager, in the Wine prefix LINKVANE_WINEPREFIX (made on first use); its status is the program's.
# The screen has LINKVANE_WINE_DPI dots per inch (96 when unset).
#   tests/win32/gui-test.sh PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
pids=()
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    kill "${pids[@]}" 2>/dev/null || true
    wait 2>/dev/null || true
}
trap cleanup EXIT

. "$root/scripts/private-display.sh"
start_private_display 1600x1000   # room for the main window at 200 %
start_window_manager
# The X server first: Wine's desktop process takes the display of the first program.
. "$root/scripts/wine-env.sh"
linkvane_wine_ensure_prefix
# The window font: Wine does not look in fonts-wine's folder, the prefix has a copy (wine-env.sh).
[ -f "$WINEPREFIX/drive_c/windows/Fonts/tahoma.ttf" ] || { echo "no Tahoma in the Wine prefix" >&2; exit 1; }
# Read when a program starts: set before the program, with no Wine program running.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "${LINKVANE_WINE_DPI:-96}" /f >/dev/null 2>&1
wineserver -w
wine "$@"
