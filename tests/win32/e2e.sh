#!/usr/bin/env bash
# End-to-end: the real Windows program, built with loopback server hosts, run under Wine in a
# private X server with a window manager and driven as a user drives it, with real pointer and key
# events. Checks what the user sees (window titles, sizes, positions, screenshots) and what reaches
# the programs the shell starts (a recording stand-in registered as the prefix's web browser and
# messenger), and leaves no process behind.
#   tests/win32/e2e.sh ARTEFACT_DIR TOOLS_DIR
# TOOLS_DIR holds probe.exe and recorder.exe (tests/win32 of a Windows build tree).
# LINKVANE_WINEPREFIX: the Wine prefix (default: one in the program's build tree).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
artefacts=$(mkdir -p "${1:?usage: e2e.sh ARTEFACT_DIR TOOLS_DIR}" && cd "$1" && pwd)
tools=$(cd "${2:?usage: e2e.sh ARTEFACT_DIR TOOLS_DIR}" && pwd)
cd "$root"

readonly content_port=47631 link_port=47632   # baked into the program built here
readonly build=$root/build/windows-e2e
readonly program=$build/win32/linkvane.exe
readonly screen_width=1024 screen_height=768
readonly main_title='Linkvane v1.4'
readonly message_title='خطا'   # the message box of go-to-site before a search

pids=()
work=$(mktemp -d)
cleanup() {
    [ -z "${WINEPREFIX:-}" ] || wineserver -k >/dev/null 2>&1 || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    [ -z "${WINEPREFIX:-}" ] || wineserver -w >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

e2e_name=e2e-windows
e2e_window_seconds=30
. "$root/tests/support/e2e-common.sh"

build_program() {
    step "building linkvane.exe with loopback server hosts"
    scripts/install-deps.sh windows display
    cmake -S . -B "$build" --toolchain "$root/cmake/toolchain-mingw64.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_TESTING=OFF -DLINKVANE_CONTENT_SERVER="127.0.0.1:$content_port" \
        -DLINKVANE_LINK_SERVER="127.0.0.1:$link_port" >"$work/configure.log" 2>&1 ||
        { cat "$work/configure.log" >&2; fail "configure"; }
    cmake --build "$build" -j 2 --target linkvane >"$work/build.log" 2>&1 ||
        { tail -n 40 "$work/build.log" >&2; fail "build"; }
}

# The demo content, its own addresses moved to this test's content server.
prepare_served_files() {
    served="$work/served"
    cp -r demo "$served"
    find "$served" -name '*.txt' -exec sed -i "s|//127\.0\.0\.1:47611/|//127.0.0.1:$content_port/|g" {} +
    grep -q ":$content_port/banner" "$served/content-server/document/ADSBaner.txt" ||
        fail "the banner address was not moved to the test's server"
}

# openbox with the program's keys and stacking left to the program, as on Windows: Alt+F4 reaches
# the window (openbox would close its own idea of the focused window), and a click raises nothing
# (openbox would raise a window that a modal one disables, or bury the modal one).
start_display() {
    . scripts/private-display.sh
    start_private_display "${screen_width}x$screen_height" || fail "no X server"
    sed -e '/<keybind key="A-F4">/,/<\/keybind>/d' \
        -e '/<mouse>/,/<\/mouse>/{/<action name="Raise"\/>/d}' /etc/xdg/openbox/rc.xml >"$work/openbox.xml"
    ! grep -q 'A-F4' "$work/openbox.xml" || fail "could not take Alt+F4 from openbox"
    openbox --config-file "$work/openbox.xml" >/dev/null 2>&1 &
    pids+=($!)
    wait_for 10 eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
        fail "no window manager"
}

# Wine in a prefix of its own (made once), with the recording stand-in as the program for web
# addresses and for the messenger scheme. Started after the X server: Wine's desktop process
# takes the display of the first program.
prepare_wine() {
    export LINKVANE_WINEPREFIX=${LINKVANE_WINEPREFIX:-$build/wine/prefix}
    . scripts/wine-env.sh
    linkvane_wine_ensure_prefix || fail "no Wine prefix"
    mkdir -p "$WINEPREFIX/drive_c/linkvane-e2e" "$work/opened"
    cp "$tools/recorder.exe" "$tools/probe.exe" "$WINEPREFIX/drive_c/linkvane-e2e/"
    export LINKVANE_E2E_OPENED
    LINKVANE_E2E_OPENED=$(winepath -w "$work/opened" 2>/dev/null)
    wineserver -p60 </dev/null >/dev/null 2>&1 || true
    local command='"C:\linkvane-e2e\recorder.exe" "%1"'
    for scheme in http https ymsgr; do
        for hive in 'HKLM\Software\Classes' 'HKCU\Software\Classes'; do
            wine reg add "$hive\\$scheme" /v 'URL Protocol' /d '' /f >/dev/null 2>&1
            wine reg add "$hive\\$scheme\\shell\\open\\command" /ve /d "$command" /f >/dev/null 2>&1 ||
                fail "could not register the recording handler for $scheme"
        done
    done
}

# Two plain web servers on loopback, each logging its requests.
start_servers() {
    for port in "$content_port" "$link_port"; do
        ! port_in_use "$port" || fail "port $port is taken: is another end-to-end run going on?"
    done
    python3 -m http.server --bind 127.0.0.1 --directory "$served/content-server" "$content_port" \
        >"$work/content.log" 2>&1 &
    content_pid=$!; pids+=("$content_pid")
    python3 -m http.server --bind 127.0.0.1 --directory "$served/link-server" "$link_port" \
        >"$work/links.log" 2>&1 &
    link_pid=$!; pids+=("$link_pid")
    wait_for 10 port_in_use "$content_port" && wait_for 10 port_in_use "$link_port" ||
        fail "the web servers did not start"
}

stop_servers() {
    kill "$content_pid" "$link_pid"
    wait "$content_pid" "$link_pid" 2>/dev/null || true
}

address_requests() { grep -c 'GET /ads/link.txt' "$work/links.log" || true; }

start_program() {   # [ARGUMENTS...], which the program ignores
    local started=$SECONDS
    wine "$program" "$@" >"$work/program.log" 2>&1 &
    program_pid=$!; pids+=("$program_pid")
    main_window=$(await_window "$main_title") || fail "the window \"$main_title\" did not appear"
    step "main window shown $((SECONDS - started)) s after start"
    probe "$main_title"
    sleep 0.5   # the first paint follows the map
}

# Asks the program's window $1 where it is: sets frame_*, client_*, enabled, focus_*.
probe() {
    local report
    report=$(wine 'C:\linkvane-e2e\probe.exe' "$1" 2>/dev/null | tr -d '\r') || fail "no window \"$1\" to probe"
    read -r _ frame_left frame_top frame_right frame_bottom <<<"$(grep '^window ' <<<"$report")"
    read -r _ client_left client_top client_width client_height <<<"$(grep '^client ' <<<"$report")"
    read -r _ enabled <<<"$(grep '^enabled ' <<<"$report")"
    read -r _ focus_left focus_top focus_width focus_height <<<"$(grep '^focus ' <<<"$report")"
    tooltip=$(sed -n 's/^tooltip //p' <<<"$report")
}

check_size_and_centring() {
    step "title, client size and centring of the main window"
    [ "$client_width" = 699 ] && [ "$client_height" = 399 ] ||
        fail "main window's client area is ${client_width}x$client_height, not 699x399"
    # The whole window, frame included, in the middle of the screen.
    local dx=$(( (frame_left + frame_right) / 2 - screen_width / 2 ))
    local dy=$(( (frame_top + frame_bottom) / 2 - screen_height / 2 ))
    [ "${dx#-}" -le 1 ] && [ "${dy#-}" -le 1 ] ||
        fail "main window $frame_left,$frame_top-$frame_right,$frame_bottom is not centred (off by $dx,$dy)"
    # What the window manager shows is the same window.
    local x y
    x=$(xwininfo -id "$main_window" | sed -n 's/^ *Absolute upper-left X: *//p')
    y=$(xwininfo -id "$main_window" | sed -n 's/^ *Absolute upper-left Y: *//p')
    [ "$x" = "$frame_left" ] && [ "$y" = "$frame_top" ] ||
        fail "the X window is at $x,$y, the program's window at $frame_left,$frame_top"
}

# A real press and release at client coordinates x, y of the window last probed.
click() {
    xdotool mousemove "$((client_left + $1))" "$((client_top + $2))" sleep 0.2 click 1
}

double_click() {
    xdotool mousemove "$((client_left + $1))" "$((client_top + $2))" sleep 0.2 click --repeat 2 --delay 80 1
}

opened_count() { ls "$work/opened" | grep -c '^call-[0-9]*$' || true; }

# Waits for recorded call number $1 and checks it is exactly the bytes of file $2.
expect_opened() {
    local call="$work/opened/call-$1"
    wait_for 15 test -e "$call" || fail "nothing was started for $3"
    cmp -s "$call" "$2" || fail "the started program received $(od -c "$call" | head -n3) for $3"
}

# Links are opened with C:\ as the working directory.
expect_opened_link() {
    expect_opened "$@"
    [ "$(cat "$work/opened/call-$1.cwd")" = 'C:\' ] ||
        fail "the browser ran in $(cat "$work/opened/call-$1.cwd"), not C:\\, for $3"
}

# The recorder's record for a target quoted as the registered command quotes it.
expected_quoted() { { printf '"'; printf '%s' "$1"; printf '"'; } >"$work/expected"; echo "$work/expected"; }
expected_quoted_file() { { printf '"'; cat "$1"; printf '"'; } >"$work/expected"; echo "$work/expected"; }

screenshot() { import -window "$1" "$artefacts/$2.png"; }

# Pixels of the banner area that differ from the background picture (a shown banner covers it).
banner_pixels_unlike_background() {
    local crop_x=$((client_left - frame_left + 8)) crop_y=$((client_top - frame_top + 80))
    convert "$artefacts/$1.png" -crop "460x68+$crop_x+$crop_y" +repage "$work/banner.png"
    convert resources/main-background.jpg -crop 460x68+8+80 +repage "$work/background.png"
    compare -metric AE -fuzz 8% "$work/banner.png" "$work/background.png" null: 2>&1 >/dev/null | cut -d' ' -f1 || true
}

go_to_site_before_search() {
    step "go to site before any search: the message box, dismissed"
    click 328 376
    local box; box=$(await_window "$message_title") || fail "no message box for go-to-site before a search"
    sleep 0.3
    screenshot "$box" message-box
    probe "$main_title"
    [ "$enabled" = 0 ] || fail "the main window takes input while the message box is open"
    xdotool key --window "$box" Return 2>/dev/null || xdotool key Return
    wait_for 10 window_gone "$message_title" || fail "the message box stayed after Return"
    [ "$(opened_count)" = 0 ] || fail "something was started without an address"
}

tab_leaves_the_message_box() {
    step "Tab moves the focus from the administrator's message to the address box"
    probe "$main_title"
    [ "$focus_left,$focus_top" = "24,195" ] || fail "the focus is at $focus_left,$focus_top at start, not on the message box"
    xdotool key Tab
    sleep 0.3
    probe "$main_title"
    [ "$focus_left,$focus_top" = "23,320" ] || fail "Tab moved the focus to $focus_left,$focus_top, not to the address box"
    xdotool key shift+Tab
    sleep 0.3
    probe "$main_title"
    [ "$focus_left,$focus_top" = "24,195" ] || fail "Shift+Tab moved the focus to $focus_left,$focus_top"
}

search_then_go_to_site() {
    step "search (a double-click fetches once), then go to site: the address reaches the browser"
    double_click 432 376
    sleep 1
    [ "$(address_requests)" = 1 ] || fail "a double-click on search fetched $(address_requests) times"
    click 328 376
    expect_opened_link 0 "$(expected_quoted_file "$served/link-server/ads/link.txt")" "the site address"
}

# The tooltip shows once the pointer rests on a control.
tool_tip() {
    step "the search button's tooltip"
    xdotool mousemove "$((client_left + 440))" "$((client_top + 380))" sleep 1.5
    probe "$main_title"
    # Wine's tooltip window gives no text to another process; where it does, it is the caption's.
    [ "$tooltip" = "shown " ] || [ "$tooltip" = "shown جستجو" ] ||
        { import -window root "$artefacts/tooltip.png"; fail "the search button shows the tooltip \"$tooltip\""; }
    xdotool mousemove "$((client_left + 650))" "$((client_top + 390))" sleep 0.5
}

banner() {
    step "the banner is shown and opens the banner link"
    screenshot "$main_window" main-window
    local unlike; unlike=$(banner_pixels_unlike_background main-window)
    [ "$unlike" -gt 5000 ] || fail "no banner shown: only $unlike pixels of the banner area differ from the background"
    click 238 114
    expect_opened_link 1 "$(expected_quoted_file "$served/content-server/document/LinkBaner.txt")" "the banner link"
}

support_window() {
    step "contact: the Support window, its messenger invitation and its back button"
    click 220 376
    local support; support=$(await_window Support) || fail "the Support window did not appear"
    sleep 0.5
    screenshot "$support" support-window
    probe "$main_title"
    [ "$enabled" = 0 ] || fail "the main window takes input while the Support window is open"
    probe Support
    [ "$client_width" = 349 ] && [ "$client_height" = 249 ] || fail "Support is ${client_width}x$client_height"
    click 140 118
    expect_opened 2 "$(expected_quoted 'ymsgr:sendim?linkvane.support')" "the messenger invitation"
    sleep 1
    window_shown Support || { import -window root "$artefacts/failure.png"; fail "the Support window closed after the invitation"; }
    click 296 228
    wait_for 10 window_gone Support || fail "the back button did not close the Support window"
}

maker_window() {
    step "about: the Software manufacturer window, the maker site, and Alt+F4"
    probe "$main_title"
    click 100 376
    local maker; maker=$(await_window 'Software manufacturer') || fail "the Software manufacturer window did not appear"
    sleep 0.5
    screenshot "$maker" maker-window
    probe 'Software manufacturer'
    [ "$client_width" = 349 ] && [ "$client_height" = 221 ] || fail "the maker window is ${client_width}x$client_height"
    click 190 118
    expect_opened_link 3 "$(expected_quoted 'http://www.linkvane.example/')" "the maker site"
    click 296 204
    wait_for 10 window_gone 'Software manufacturer' || fail "the back button did not close the maker window"
    probe "$main_title"
    click 100 376
    maker=$(await_window 'Software manufacturer') || fail "the Software manufacturer window did not open again"
    sleep 0.3
    xdotool key alt+F4
    wait_for 10 window_gone 'Software manufacturer' || fail "Alt+F4 did not close the maker window"
    window_shown "$main_title" || fail "Alt+F4 on the maker window closed the main window too"
}

close_main_window() {
    step "closing the main window ends the program"
    probe "$main_title"
    xdotool mousemove "$client_left" "$client_top" sleep 0.2
    xdotool key alt+F4
    wait_for 10 process_ended "$program_pid" || fail "the program is still running after its window closed"
    wait "$program_pid" || fail "the program exited with status $?"
}

servers_down() {
    step "with the servers down (and a command line, which changes nothing) the window still appears, without a banner"
    stop_servers
    start_program -reverse /?
    screenshot "$main_window" main-window-servers-down
    local unlike; unlike=$(banner_pixels_unlike_background main-window-servers-down)
    [ "$unlike" -lt 500 ] || fail "$unlike pixels of the banner area differ from the background with no server"
    close_main_window
}

# A content server that accepts connections and never answers (for two minutes at most).
start_silent_server() {
    python3 -c '
import signal, socket, sys
signal.alarm(120)
server = socket.socket()
server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
server.bind(("127.0.0.1", int(sys.argv[1])))
server.listen(16)
held = []
while True:
    held.append(server.accept()[0])
' "$content_port" >/dev/null 2>&1 &
    silent_pid=$!; pids+=("$silent_pid")
    wait_for 10 port_in_use "$content_port" || fail "the silent server did not start"
}

# The clock's pixels now.
clock_pixels() {
    import -window "$main_window" -crop "110x16+$((client_left - frame_left + 490))+$((client_top - frame_top + 238))" \
        +repage "$work/clock-$1.png"
}

silent_server() {
    step "with a server that never answers: the window shows, its clock ticks, Alt+F4 ends it at once"
    start_silent_server
    start_program
    clock_pixels 1
    sleep 1.5
    clock_pixels 2
    ! cmp -s "$work/clock-1.png" "$work/clock-2.png" || fail "the clock stood still while the content was on the way"
    local asked=$SECONDS
    xdotool key alt+F4
    wait_for 5 process_ended "$program_pid" || fail "the program did not end within 5 s of Alt+F4 during a download"
    step "ended $((SECONDS - asked)) s after Alt+F4"
    kill "$silent_pid" 2>/dev/null || true
}

build_program
prepare_served_files
start_display
prepare_wine
start_servers
start_program
check_size_and_centring
go_to_site_before_search
tab_leaves_the_message_box
search_then_go_to_site
tool_tip
banner
support_window
maker_window
[ "$(opened_count)" = 4 ] || fail "programs were started $(opened_count) times, not 4"
close_main_window
servers_down
silent_server
step "PASS; screenshots in $artefacts"
