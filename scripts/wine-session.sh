#!/usr/bin/env bash
# Starts or stops a persistent wineserver with Wine's services for Linkvane's private prefix, so
# that programs run by scripts/wine-run.sh meanwhile start and end quickly and leave nothing holding
# their output open. The CTest fixtures of the Windows tests run "start" before and "stop" after.
#   scripts/wine-session.sh start|stop
#   LINKVANE_WINEPREFIX=DIR   another prefix (default: build/wine/prefix of this repository)
#   LINKVANE_WINE_SESSION_SECONDS=N   "start": the server ends by itself N s after the last program
#                                    (default 600), in case "stop" never runs (an interrupted CTest)
set -euo pipefail
# shellcheck source=wine-env.sh
. "$(dirname "$(realpath "$0")")/wine-env.sh"

case ${1:-} in
    start)
        linkvane_wine_ensure_prefix
        log=$linkvane_wine_dir/session.log
        # Every descriptor away from the caller's: the server and the services outlive this script.
        # Status 2: a server of this prefix already runs (a session started before); use it.
        status=0
        wineserver -p"${LINKVANE_WINE_SESSION_SECONDS:-600}" </dev/null >"$log" 2>&1 || status=$?
        [ "$status" -eq 0 ] || [ "$status" -eq 2 ] || { cat "$log" >&2; exit "$status"; }
        wine wineboot </dev/null >>"$log" 2>&1
        ;;
    stop)
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
        ;;
    *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
