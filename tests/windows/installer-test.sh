#!/usr/bin/env bash
# The Windows installer under Wine, as a user meets it: made from the build tree with CPack, run
# silently (/S) in a fresh Wine prefix, the installed program started from Program Files shows its
# main window in a private X server, and the silent uninstaller removes everything it installed.
# Leaves no process behind: its own Xvfb, window manager and wineserver are stopped at the end.
#   tests/windows/installer-test.sh BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: installer-test.sh BUILD_DIR}" && pwd)
readonly main_title='Linkvane v1.4'

work=$build/installer-test
rm -rf "$work"
mkdir -p "$work"
export LINKVANE_WINEPREFIX=$work/wine/prefix
pids=()
session_started="" passed=""
cleanup() {
    [ -z "$session_started" ] || "$root/scripts/wine-session.sh" stop
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    # The prefix is about 700 MB; after a failure it stays for a look.
    [ -z "$passed" ] || rm -rf "$work/wine"
}
trap cleanup EXIT

fail() { echo "installer-test: FAIL: $*" >&2; exit 1; }
step() { echo "installer-test: $*"; }
wait_for() {
    local tries=$(($1 * 10)); shift
    until "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

step "making the installer"
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/package" >cpack.log 2>&1) ||
    { cat "$work/cpack.log" >&2; fail "cpack failed"; }
installer=$(ls "$work"/package/linkvane-*-win64.exe)
step "$(basename "$installer"): $(stat -c %s "$installer") bytes"

# shellcheck source=../../scripts/private-display.sh
. "$root/scripts/private-display.sh"
start_private_display 1024x768
start_window_manager
# The session starts Wine's services (and with DISPLAY its desktop) with their output in a log, so
# that nothing started here holds CTest's output open.
"$root/scripts/wine-session.sh" start
session_started=yes
# shellcheck source=../../scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
drive_c=$WINEPREFIX/drive_c
install_dir="$drive_c/Program Files/Linkvane"
shortcut="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Linkvane/Linkvane.lnk"
# Asked of the running server: Wine writes system.reg to disk only now and then. 64-bit reg.exe
# reads the 64-bit view, where a 32-bit installer would not have written.
registered() {
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Linkvane' \
        /v UninstallString >/dev/null 2>&1
}

step "installing silently"
wine "$installer" /S >"$work/install.log" 2>&1 || { cat "$work/install.log" >&2; fail "the installer failed"; }
for file in linkvane.exe Uninstall.exe LICENSE.txt; do
    [ -f "$install_dir/$file" ] || fail "no Program Files\\Linkvane\\$file after installing"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut after installing"
registered || fail "Linkvane is not listed in the uninstall registry"

step "starting the installed program"
wine "C:\\Program Files\\Linkvane\\linkvane.exe" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")
window_shown() { xdotool search --onlyvisible --name "^$main_title\$" >/dev/null 2>&1; }
wait_for 30 window_shown || { cat "$work/program.log" >&2; fail "the main window did not appear"; }
step "uninstalling while the program runs: refused, nothing removed"
# Run in place (_?=) so that its exit code is its own, not that of a copy started elsewhere. The
# folder after _?= is the rest of the command line, unquoted, which only a batch file passes.
printf '%s\r\n' '@"C:\Program Files\Linkvane\Uninstall.exe" /S _?=C:\Program Files\Linkvane' \
    '@exit /b %errorlevel%' >"$drive_c/uninstall-in-place.bat"
status=0
wine cmd /c 'C:\uninstall-in-place.bat' >"$work/refused.log" 2>&1 || status=$?
[ "$status" = 2 ] || fail "the uninstaller ended with $status, not 2, while the program ran"
for file in linkvane.exe Uninstall.exe LICENSE.txt; do
    [ -f "$install_dir/$file" ] || fail "Program Files\\Linkvane\\$file removed while the program ran"
done
[ -f "$shortcut" ] && registered || fail "the shortcut or registry entry removed while the program ran"
xdotool search --onlyvisible --name "^$main_title\$" windowactivate --sync key alt+F4 >/dev/null 2>&1 || true
program_ended() { ! kill -0 "$program_pid" 2>/dev/null; }
wait_for 20 program_ended || fail "the program did not end when its window was closed"

step "uninstalling silently"
# The uninstaller copies itself away and returns at once; the copy removes the files.
wine "C:\\Program Files\\Linkvane\\Uninstall.exe" /S >"$work/uninstall.log" 2>&1 ||
    { cat "$work/uninstall.log" >&2; fail "the uninstaller failed"; }
removed() { [ ! -e "$install_dir" ] && [ ! -e "$shortcut" ] && ! registered; }
wait_for 30 removed || fail "left after uninstalling: $(ls -A "$install_dir" 2>/dev/null | xargs)$( [ ! -e "$shortcut" ] || echo ' the shortcut')$(registered && echo ' the registry entry')"
passed=yes
step "PASS"
