#!/usr/bin/env bash
# End-to-end: the real program, built with loopback server hosts (the e2e preset), driven as a user
# drives it, with real pointer and key events in a private X server with a window manager.
# Checks what the user sees and what reaches the desktop's opener, saves screenshots, and leaves no
# process behind.
#   tests/qt/e2e/e2e.sh ARTEFACT_DIR SILENT_SERVER
# SILENT_SERVER is tests/support's linkvane-silent-server: it takes connections and never answers.
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
artefacts=$(mkdir -p "${1:?usage: e2e.sh ARTEFACT_DIR SILENT_SERVER}" && cd "$1" && pwd)
readonly silent_server=${2:?usage: e2e.sh ARTEFACT_DIR SILENT_SERVER}
cd "$root"

readonly content_port=47621 link_port=47622   # the e2e preset's server hosts
readonly program=build/e2e/qt/linkvane server=build/e2e/demo/linkvane-demo-server
readonly screen_width=1024 screen_height=768
readonly main_title='Linkvane v1.4'
readonly message_title='خطا'   # the message box of go-to-site before a search

pids=()
work=$(mktemp -d)
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

e2e_name=e2e
. "$root/tests/support/e2e-common.sh"

build_program() {
    step "building the program with loopback server hosts (e2e preset)"
    scripts/install-deps.sh build display
    cmake --preset e2e >/dev/null
    cmake --build --preset e2e -j "$(nproc)" --target linkvane linkvane-demo-server >/dev/null
}

# The demo content, with its own addresses moved to this test's content server.
prepare_served_files() {
    served="$work/served"
    cp -r demo "$served"
    find "$served" -name '*.txt' -exec sed -i "s|//127\.0\.0\.1:47611/|//127.0.0.1:$content_port/|g" {} +
    grep -q ":$content_port/banner" "$served/content-server/document/ADSBaner.txt" ||
        fail "the banner address was not moved to the test's server"
}

# A fake desktop opener, first on PATH: every call leaves a file with its arguments, each ended
# by a NUL byte, and a file with its working directory.
install_recording_opener() {
    mkdir -p "$work/bin" "$work/opened"
    cat >"$work/bin/xdg-open" <<'EOF'
#!/bin/sh
call="$LINKVANE_E2E_OPENED/call-$(ls "$LINKVANE_E2E_OPENED" | grep -c '^call-[0-9]*$')"
pwd >"$call.cwd"
printf '%s\0' "$@" >"$call.partial"
mv "$call.partial" "$call"
EOF
    chmod +x "$work/bin/xdg-open"
    export PATH="$work/bin:$PATH" LINKVANE_E2E_OPENED="$work/opened"
}

start_display() {
    . scripts/private-display.sh
    start_private_display "${screen_width}x$screen_height" || fail "no X server"
    start_window_manager || fail "no window manager"
}

start_servers() {
    for port in "$content_port" "$link_port"; do
        ! port_in_use "$port" || fail "port $port is taken: is another end-to-end run going on?"
    done
    "$server" "$served" "$content_port" "$link_port" >/dev/null 2>&1 &
    server_pid=$!; pids+=("$server_pid")
    wait_for 30 port_in_use "$link_port" || fail "the demo server did not start"
}

stop_servers() {
    kill "$server_pid"
    wait "$server_pid" 2>/dev/null || true
    ! port_in_use "$content_port" || fail "the content server is still up"
}

start_program() {
    LANG=C.UTF-8 "$program" >"$work/program.log" 2>&1 &
    program_pid=$!; pids+=("$program_pid")
    main_window=$(await_window "$main_title") || fail "the window \"$main_title\" did not appear"
    sleep 0.5   # the first paint follows the map
}

# Field $2 of xwininfo's report on window $1.
window_field() { xwininfo -id "$1" | sed -n "s/^ *$2: *//p"; }

# The frame the window manager drew around window $1: "left right top bottom".
frame_extents() {
    xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ','
}

# The whole window $1, frame included, has its middle at the middle of the screen (within 1 px).
check_centred_with_frame() {
    local width height left top frame_left frame_right frame_top frame_bottom
    width=$(window_field "$1" Width); height=$(window_field "$1" Height)
    left=$(window_field "$1" 'Absolute upper-left X')
    top=$(window_field "$1" 'Absolute upper-left Y')
    read -r frame_left frame_right frame_top frame_bottom < <(frame_extents "$1") ||
        fail "the window manager reports no frame for $2"
    local outer_left=$((left - frame_left)) outer_top=$((top - frame_top))
    local outer_width=$((width + frame_left + frame_right)) outer_height=$((height + frame_top + frame_bottom))
    local dx=$((2 * outer_left + outer_width - screen_width)) dy=$((2 * outer_top + outer_height - screen_height))
    [ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ] ||
        fail "$2 with its frame lies at $outer_left,$outer_top (${outer_width}x$outer_height), not centred on the ${screen_width}x$screen_height screen"
}

check_size_and_centring() {
    local width height
    width=$(window_field "$main_window" Width); height=$(window_field "$main_window" Height)
    # 10485 x 5985 twips of client area
    [ "$width" = 699 ] && [ "$height" = 399 ] || fail "main window is ${width}x$height, not 699x399"
    check_centred_with_frame "$main_window" "the main window"
}

click() {   # window x y: a real button press and release at client coordinates
    xdotool mousemove --window "$1" "$2" "$3" sleep 0.1 click 1
}

press_in() {   # window key
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
    xdotool key "$2"
}

opened_count() { ls "$work/opened" | grep -c '^call-[0-9]*$' || true; }

# Waits for opener call number $1 and checks its record is exactly file $2.
expect_opened() {
    local call="$work/opened/call-$1"
    wait_for 10 test -e "$call" || fail "the opener was not called for $3"
    cmp -s "$call" "$2" || fail "the opener received $(od -c "$call" | head -n3) for $3"
}

# Links are opened from the filesystem root; a command line runs where the program runs.
expect_opened_link() {
    expect_opened "$@"
    [ "$(cat "$work/opened/call-$1.cwd")" = / ] || fail "the opener ran in $(cat "$work/opened/call-$1.cwd"), not /, for $3"
}

# The opener's record for a call with the given arguments, or with the bytes of a file as its one
# argument (command substitution would drop the file's line breaks).
expected_args() { printf '%s\0' "$@" >"$work/expected"; echo "$work/expected"; }
expected_file_arg() { { cat "$1"; printf '\0'; } >"$work/expected"; echo "$work/expected"; }

# Saves window $1 as the artefact $2.png.
screenshot() {
    import -window "$1" "$artefacts/$2.png"
}

# Pixels of the banner area that differ from the background picture (a shown banner covers it).
banner_pixels_unlike_background() {
    local banner_area=460x68+8+80
    convert "$artefacts/$1.png" -crop "$banner_area" +repage "$work/banner.png"
    convert resources/main-background.jpg -crop "$banner_area" +repage "$work/background.png"
    compare -metric AE -fuzz 8% "$work/banner.png" "$work/background.png" null: 2>&1 >/dev/null | cut -d' ' -f1 || true
}

go_to_site_before_search() {
    step "go to site before any search: the message box, dismissed"
    click "$main_window" 328 376
    local box; box=$(await_window "$message_title") || fail "no message box for go-to-site before a search"
    screenshot "$box" message-box
    press_in "$box" Return
    wait_for 10 window_gone "$message_title" || fail "the message box stayed after Return"
    [ "$(opened_count)" = 0 ] || fail "something was opened without an address"
}

search_then_go_to_site() {
    step "search, then go to site: the address body reaches the opener byte for byte"
    click "$main_window" 432 376
    sleep 0.5
    click "$main_window" 328 376
    expect_opened_link 0 "$(expected_file_arg "$served/link-server/ads/link.txt")" "the site address"
}

banner() {
    step "the banner is shown and opens the banner link"
    screenshot "$main_window" main-window
    local unlike; unlike=$(banner_pixels_unlike_background main-window)
    [ "$unlike" -gt 5000 ] || fail "no banner shown: only $unlike pixels of the banner area differ from the background"
    # A double-click acts once: its second press is a double-click, which the banner ignores.
    xdotool mousemove --window "$main_window" 238 114 sleep 0.1 click --repeat 2 --delay 80 1
    expect_opened_link 1 "$(expected_file_arg "$served/content-server/document/LinkBaner.txt")" "the banner link"
    sleep 1
    [ "$(opened_count)" = 2 ] || fail "a double-click on the banner opened its link $(($(opened_count) - 1)) times"
}

support_window() {
    step "contact: the Support window, its messenger invitation and its back button"
    click "$main_window" 220 376
    local support; support=$(await_window Support) || fail "the Support window did not appear"
    sleep 0.3
    check_centred_with_frame "$support" "the Support window"
    screenshot "$support" support-window
    click "$support" 140 118
    expect_opened 2 "$(expected_args 'ymsgr:sendim?linkvane.support')" "the messenger invitation"
    click "$support" 296 228
    wait_for 10 window_gone Support || fail "the back button did not close the Support window"
}

maker_window() {
    step "about: the Software manufacturer window, the maker site and the back button"
    click "$main_window" 100 376
    local maker; maker=$(await_window 'Software manufacturer') || fail "the Software manufacturer window did not appear"
    sleep 0.3
    check_centred_with_frame "$maker" "the Software manufacturer window"
    screenshot "$maker" maker-window
    click "$maker" 190 118
    expect_opened_link 3 "$(expected_args 'http://www.linkvane.example/')" "the maker site"
    click "$maker" 296 204
    wait_for 10 window_gone 'Software manufacturer' || fail "the back button did not close the maker window"
}

close_main_window() {
    step "closing the main window ends the program"
    press_in "$main_window" alt+F4
    wait_for 10 process_ended "$program_pid" || fail "the program is still running after its window closed"
    wait "$program_pid" || fail "the program exited with status $?"
    window_gone "$main_title" || fail "the main window is still shown"
}

servers_down() {
    step "with the servers down the window still appears, without a banner"
    stop_servers
    start_program
    screenshot "$main_window" main-window-servers-down
    local unlike; unlike=$(banner_pixels_unlike_background main-window-servers-down)
    [ "$unlike" -lt 500 ] || fail "$unlike pixels of the banner area differ from the background with no server"
    close_main_window
}

# Milliseconds since the epoch.
now_ms() { date +%s%3N; }

silent_servers() {
    step "with servers that never answer the window shows at once and closes at once"
    "$silent_server" "$content_port" "$link_port" &
    local silent_pid=$!; pids+=("$silent_pid")
    wait_for 10 port_in_use "$link_port" || fail "the silent server did not start"
    local started; started=$(now_ms)
    start_program
    local shown=$(($(now_ms) - started - 500))   # start_program waits 0.5 s after the map
    [ "$shown" -le 1500 ] || fail "the window took $shown ms to appear with silent servers"
    screenshot "$main_window" main-window-servers-silent
    # A search now waits for the silent link server; the clock goes on meanwhile.
    click "$main_window" 432 376
    sleep 1.2
    screenshot "$main_window" clock-during-search-1
    sleep 1.2
    screenshot "$main_window" clock-during-search-2
    ! cmp -s "$artefacts/clock-during-search-1.png" "$artefacts/clock-during-search-2.png" ||
        fail "the window did not change while a search waited (the clock stopped)"
    local closing; closing=$(now_ms)
    press_in "$main_window" alt+F4
    wait_for 10 process_ended "$program_pid" || fail "the program is still running after its window closed"
    local closed=$(($(now_ms) - closing))
    [ "$closed" -le 1500 ] || fail "closing during a stalled download took $closed ms"
    step "shown in about $shown ms, closed in $closed ms"
    kill "$silent_pid"
}

build_program
prepare_served_files
install_recording_opener
start_display
start_servers
start_program
check_size_and_centring
go_to_site_before_search
search_then_go_to_site
banner
support_window
maker_window
[ "$(opened_count)" = 4 ] || fail "the opener was called $(opened_count) times, not 4"
close_main_window
servers_down
silent_servers
step "PASS; screenshots in $artefacts"
