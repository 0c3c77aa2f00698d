#!/usr/bin/env bash
# The real program, built with loopback server hosts, driven with real pointer and key events in a
# private X server: the flows a user walks, once for both desktops (DESKTOP.sh holds the hooks).
#   tests/e2e/e2e.sh qt|win32 ARTEFACT_DIR [TOOLS_DIR]   (TOOLS_DIR: win32's probe.exe, recorder.exe)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
readonly desktop=${1:?usage: e2e.sh qt|win32 ARTEFACT_DIR [TOOLS_DIR]}
artefacts=$(mkdir -p "${2:?usage: e2e.sh qt|win32 ARTEFACT_DIR [TOOLS_DIR]}" && cd "$2" && pwd)
tools=${3:+$(cd "$3" && pwd)}
cd "$root"

readonly screen_width=1024 screen_height=768
readonly main_title='Linkvane v1.4' support_title='Support' maker_title='Software manufacturer'
readonly message_title='خطا'   # the message box of go-to-site before a search

pids=()   # of the X server and window manager (scripts/private-display.sh); all jobs are ended
work=$(mktemp -d)
cleanup() {
    ! declare -F desktop_cleanup >/dev/null || desktop_cleanup
    kill $(jobs -p) 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "e2e-$desktop: FAIL: $*" >&2; exit 1; }
step() { echo "e2e-$desktop: $*"; }
# Runs a command with its output in $work/NAME.log, shown when it fails.
logged() { "${@:2}" >"$work/$1.log" 2>&1 || { tail -n 40 "$work/$1.log" >&2; fail "$1"; }; }

wait_for() {   # SECONDS COMMAND...: polls the command
    local tries=$(($1 * 10)); shift
    until "$@"; do
        [ $((tries -= 1)) -gt 0 ] || return 1
        sleep 0.1
    done
}
port_in_use() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1; }
window_shown() { [ -n "$(window_named "$1")" ]; }
window_gone() { ! window_shown "$1"; }
await_window() { wait_for 30 window_shown "$1" && window_named "$1"; }
process_ended() { ! kill -0 "$1" 2>/dev/null; }
now_ms() { date +%s%3N; }

# The desktop's hooks: desktop_build, desktop_setup (after the X server), desktop_start ARGS,
# desktop_locate TITLE (sets client_left/top/width/height and outer_left/top/width/height, the
# window with its frame), desktop_key WINDOW KEY, opened_count, opened_args N, opened_cwd N,
# as_record (stdin: a target's bytes; stdout: what the opener records for it), desktop_cleanup,
# desktop_finish (optional, its last flow), desktop_flows (its own flows); and link_cwd,
# content_port, link_port, black_hole_ports, start_limit_ms, close_limit_ms.
. "$root/tests/e2e/$desktop.sh"

# The demo content, its own addresses moved to this test's content server.
prepare_served_files() {
    served="$work/served"
    cp -r demo "$served"
    find "$served" -name '*.txt' -exec sed -i "s|//127\.0\.0\.1:47611/|//127.0.0.1:$content_port/|g" {} +
    grep -q ":$content_port/banner" "$served/content-server/document/ADSBaner.txt" ||
        fail "the banner address was not moved to the test's server"
    # The program takes only files signed with the demo key: the moved ones are signed again.
    logged sign find "$served" -name '*.txt' -exec minisign -S -s demo/demo-signing.key -m {} \; </dev/null
}

# Ports that answer nothing, for two minutes at most: "black" ones, servers behind a filter that
# drops their packets (a queue of connections full and never taken, so that every further
# connection request goes unanswered); "silent" ones, servers that take connections and never answer.
declare -A holders=()   # black|silent: the pid that holds them, for release_ports
hold_ports() {
    python3 -c '
import signal, socket, sys
black, held = sys.argv[1] == "black", []
for port in map(int, sys.argv[2:]):
    held.append(socket.create_server(("127.0.0.1", port), backlog=0 if black else 64))
    for _ in range(8 if black else 0):
        held.append(socket.socket())
        held[-1].settimeout(0.2)
        try: held[-1].connect(("127.0.0.1", port))
        except OSError: break
print("ready", flush=True)
signal.alarm(120)
signal.pause()' "$@" >"$work/$1-ports.log" 2>&1 &
    holders[$1]=$!
    wait_for 10 grep -q ready "$work/$1-ports.log" || fail "the $1 ports did not open: $(cat "$work/$1-ports.log")"
}

# A web server on port $2 serving the folder $3, logging its requests (each ending in its time in ms)
# in $work/$1.log; each request for a link.txt first waits the next of the seconds $4... (the last
# of them from then on).
serve_folder() {
    ! port_in_use "$2" || fail "port $2 is taken: is another end-to-end run going on?"
    python3 -c '
import functools, http.server as web, sys, time
delays = [float(d) for d in sys.argv[3:]]
class Handler(web.SimpleHTTPRequestHandler):
    def do_GET(self):
        if self.path.endswith("link.txt") and delays: time.sleep(delays.pop(0) if len(delays) > 1 else delays[0])
        super().do_GET()
    def log_message(self, form, *args): print(form % args, time.time_ns() // 10**6, file=sys.stderr)
web.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[1])), functools.partial(Handler, directory=sys.argv[2])).serve_forever()
' "${@:2}" >"$work/$1.log" 2>&1 &
    server_pids+=($!)
    wait_for 10 port_in_use "$2" || fail "the $1 server did not start"
}
start_servers() {
    server_pids=()
    serve_folder content "$content_port" "$served/content-server"
    serve_folder link "$link_port" "$served/link-server"
}
release_ports() { local kind; for kind; do kill "${holders[$kind]}"; wait "${holders[$kind]}" 2>/dev/null || true; done; }
address_requests() { grep -c 'GET /ads/link.txt HTTP' "$work/link.log" || true; }

start_program() {
    local started; started=$(now_ms)
    desktop_start "$@"
    main_window=$(await_window "$main_title") || fail "the window \"$main_title\" did not appear"
    shown_ms=$(($(now_ms) - started))
    step "main window shown $shown_ms ms after start"
    desktop_locate "$main_title"
    sleep 0.5   # the first paint follows the map
}

# A real press and release (or two, a double-click) at client x, y of the window last located.
click() { xdotool mousemove "$((client_left + $1))" "$((client_top + $2))" sleep 0.2 click "${@:3}" 1; }
double_click() { click "$1" "$2" --repeat 2 --delay 80; }

# Pixels of the screen, x y width height in the client area of the window last located, as $5.png.
grab() { import -window root -crop "$3x$4+$((client_left + $1))+$((client_top + $2))" +repage "$5.png"; }
screenshot() {
    grab "$((outer_left - client_left))" "$((outer_top - client_top))" "$outer_width" "$outer_height" "$artefacts/$1"
}

# Pixels of the banner area that differ from the background picture (a shown banner covers it).
banner_pixels_unlike_background() {
    grab 8 80 460 68 "$work/banner"
    convert resources/main-background.jpg -crop 460x68+8+80 +repage "$work/background.png"
    compare -metric AE -fuzz 8% "$work/banner.png" "$work/background.png" null: 2>&1 >/dev/null | cut -d' ' -f1 || true
}

# Opener call number $1 arrives and is exactly the record of the target $2 (text, or @FILE for a
# file's bytes); with "link", it ran where links are opened.
expect_opened() {
    wait_for 15 eval '[ "$(opened_count)" -gt '"$1"' ]' || fail "nothing was opened for $2"
    if [ "${2:0:1}" = @ ]; then as_record <"${2:1}"; else printf '%s' "$2" | as_record; fi >"$work/expected"
    opened_args "$1" >"$work/received"
    cmp -s "$work/received" "$work/expected" || fail "the opener received $(od -c "$work/received" | head -n3) for $2"
    [ "${3:-}" != link ] || [ "$(opened_cwd "$1")" = "$link_cwd" ] ||
        fail "the opener ran in $(opened_cwd "$1"), not $link_cwd, for $2"
}

# The window titled $1 has the client size $2 x $3 and, frame included, lies in the middle of the
# screen (within 1 px); a screenshot of it is kept as $4.png.
check_window() {
    desktop_locate "$1"
    [ "$client_width" = "$2" ] && [ "$client_height" = "$3" ] || fail "$1 is ${client_width}x$client_height, not $2x$3"
    local dx=$((2 * outer_left + outer_width - screen_width)) dy=$((2 * outer_top + outer_height - screen_height))
    [ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ] ||
        fail "$1 with its frame lies at $outer_left,$outer_top (${outer_width}x$outer_height), not centred"
    screenshot "$4"
}

# A click at $1, $2 of the main window opens the window titled $3: its X id in $opened_window.
open_window() {
    desktop_locate "$main_title"
    click "$1" "$2"
    opened_window=$(await_window "$3") || fail "a click at $1,$2 of the main window did not open \"$3\""
    sleep 0.5
}

# --- the flows a user walks: a function each and a line in the list at the end ----------------
# The image buttons are clicked on their captions, which lie under them and take no clicks.

go_to_site_before_search() {
    step "go to site before any search: the message box, dismissed"
    open_window 328 376 "$message_title"
    import -window "$opened_window" "$artefacts/message-box.png"
    desktop_key "$opened_window" Return
    wait_for 10 window_gone "$message_title" || fail "the message box stayed after Return"
    [ "$(opened_count)" = 0 ] || fail "something was opened without an address"
}

# The link list names two black-holed mirrors before the good one, which signs its files.
search_then_go_to_site() {
    step "search past two black-holed mirrors, then go to site:" \
        "the signed address reaches the opener byte for byte"
    local pressed; pressed=$(now_ms)
    double_click 432 376
    wait_for 10 eval '[ "$(address_requests)" -ge 1 ]' || fail "the search never reached the good mirror"
    local took=$(($(now_ms) - pressed))
    step "the good mirror was asked $took ms after the press"
    [ "$took" -lt 1500 ] || fail "the search took $took ms to pass two black-holed mirrors"
    click 328 376
    expect_opened 0 "@$served/link-server/ads/link.txt" link
}

banner() {
    step "the banner is shown; a double-click on it opens its link once"
    screenshot main-window
    local unlike; unlike=$(banner_pixels_unlike_background)
    [ "$unlike" -gt 5000 ] || fail "no banner shown: only $unlike pixels of the banner area differ from the background"
    double_click 238 114
    expect_opened 1 "@$served/content-server/document/LinkBaner.txt" link
    sleep 1
    [ "$(opened_count)" = 2 ] || fail "a double-click on the banner opened its link $(($(opened_count) - 1)) times"
}

support_window() {
    step "contact: the Support window, its messenger invitation and its back button"
    open_window 220 376 "$support_title"
    check_window "$support_title" 349 249 support-window
    click 140 118
    expect_opened 2 'ymsgr:sendim?linkvane.support'
    sleep 1
    window_shown "$support_title" || fail "the Support window closed after the invitation"
    click 296 228
    wait_for 10 window_gone "$support_title" || fail "the back button did not close the Support window"
}

maker_window() {
    step "about: the maker window, the maker site, the back button, and Alt+F4"
    open_window 100 376 "$maker_title"
    check_window "$maker_title" 349 221 maker-window
    click 190 118
    expect_opened 3 'http://www.linkvane.example/' link
    click 296 204
    wait_for 10 window_gone "$maker_title" || fail "the back button did not close the maker window"
    open_window 100 376 "$maker_title"
    desktop_key "$opened_window" alt+F4
    wait_for 10 window_gone "$maker_title" || fail "Alt+F4 did not close the maker window"
    sleep 0.5
    window_shown "$main_title" || fail "Alt+F4 on the maker window closed the main window too"
    desktop_locate "$main_title"
}

# Without a mouse, from the message box: Tab (back with Shift) reaches the buttons, Return and space press them.
keyboard_only() {
    step "keyboard only: Tab to search, Return; Tab to go to site, space: the address opens"
    local key
    for key in Tab Tab shift+Tab Tab Return; do desktop_key "$main_window" "$key"; sleep 0.3; done
    wait_for 10 eval '[ "$(address_requests)" -ge 2 ]' || fail "Return on the focused search button did not search"
    for key in Tab space; do desktop_key "$main_window" "$key"; sleep 0.3; done
    expect_opened 4 "@$served/link-server/ads/link.txt" link
}

# Closing the main window ends the program, with status 0, within $1 ms.
close_main_window() {
    local asked; asked=$(now_ms)
    desktop_key "$main_window" alt+F4
    wait_for 10 process_ended "$program_pid" || fail "the program is still running after its window closed"
    local took=$(($(now_ms) - asked))
    wait "$program_pid" || fail "the program exited with status $?"
    [ "$took" -le "$1" ] || fail "closing took $took ms"
}

# Ten presses of search while the mirror takes 3 s a file, then go to site, held behind the search.
impatient_search() {
    step "ten presses of search while the mirror is slow, then go to site: one search, the address at once"
    kill "${server_pids[1]}" && { wait "${server_pids[1]}" 2>/dev/null || true; }
    unset 'server_pids[1]'
    serve_folder link "$link_port" "$served/link-server" 3   # up long before the search passes two black holes
    local before late; before=$(opened_count)
    start_program
    click 432 376 --repeat 10 --delay 150
    click 328 376
    expect_opened "$before" "@$served/link-server/ads/link.txt" link
    late=$(($(date -r "$(ls -t "$work"/opened/call-* | head -n1)" +%s%3N) - $(awk 'END {print $NF}' "$work/link.log")))
    step "the address opened $late ms after the search's last answer"
    sleep 1   # a second search would come before go-to-site; a second opening right after it
    [ "$late" -le 1000 ] && [ "$(address_requests)" = 1 ] && [ "$(opened_count)" = $((before + 1)) ] ||
        fail "$(address_requests) searches, $(($(opened_count) - before)) pages opened $late ms after the last answer"
    close_main_window 10000
}

# A server that refuses is the core's and the window suites' case; one that never answers is the harder.
silent_servers() {
    step "with servers that never answer (and a command line, which changes nothing): the window shows at once" \
        "without a banner, the clock ticks during a search, closing is at once"
    kill "${server_pids[@]}"
    wait "${server_pids[@]}" 2>/dev/null || true
    hold_ports silent "$content_port" "$link_port"
    start_program -reverse '/?'
    [ "$shown_ms" -le "$start_limit_ms" ] || fail "the window took $shown_ms ms to appear with silent servers"
    screenshot main-window-servers-silent
    local unlike; unlike=$(banner_pixels_unlike_background)
    [ "$unlike" -lt 500 ] || fail "$unlike pixels of the banner area differ from the background with no server"
    click 432 376
    sleep 0.3
    grab 490 238 110 16 "$work/clock-1"
    sleep 1.5
    grab 490 238 110 16 "$work/clock-2"
    ! cmp -s "$work/clock-1.png" "$work/clock-2.png" || fail "the clock stood still while a search waited"
    close_main_window "$close_limit_ms"
}

# The link list: the current mirror takes the connection at once and answers after 1.5 s (2.5 s the
# second time, past the second a newer answer may take), then a stale one answers at once with an
# address signed a day earlier. The banner link file is the picture's, with its own signature.
newest_signed_address() {
    step "the newest signed address beats a stale one that came first, also later; a swapped banner link opens nothing"
    release_ports black silent
    local dir=$work/newest docs=$served/content-server/document count search
    for suffix in '' .minisig; do cp "$docs/ADSBaner.txt$suffix" "$docs/LinkBaner.txt$suffix"; done
    mkdir -p "$dir"/{current,stale}/ads
    printf 'http://127.0.0.1:%s/site/current\r\n' "$content_port" >"$dir/current/ads/link.txt"
    printf 'http://127.0.0.1:%s/site/stale\r\n' "$content_port" >"$dir/stale/ads/link.txt"
    logged sign-current minisign -S -s demo/demo-signing.key -m "$dir/current/ads/link.txt" </dev/null
    logged sign-stale minisign -S -s demo/demo-signing.key -m "$dir/stale/ads/link.txt" \
        -t "$(printf 'timestamp:%s\tfile:link.txt' $(($(date +%s) - 86400)))" </dev/null
    serve_folder content "$content_port" "$served/content-server"
    serve_folder current "${black_hole_ports[0]}" "$dir/current" 1.5 2.5
    serve_folder stale "${black_hole_ports[1]}" "$dir/stale"
    start_program
    for search in first second; do
        count=$(opened_count)
        click 432 376
        click 328 376   # go to site: handled once the search is over
        expect_opened "$count" "@$dir/current/ads/link.txt" link
    done
    [ "$(banner_pixels_unlike_background)" -gt 5000 ] || fail "no banner shown"
    click 238 114
    ! wait_for 2 eval '[ "$(opened_count)" -gt '"$((count + 1))"' ]' || fail "the banner opened the picture's address"
    close_main_window 10000
}

desktop_build
prepare_served_files
. scripts/private-display.sh
start_private_display "${screen_width}x$screen_height" || fail "no X server"
desktop_setup
hold_ports black "${black_hole_ports[@]}"
start_servers
start_program
step "the main window: its size and its place"
check_window "$main_title" 699 399 main-window-at-start
go_to_site_before_search
for flow in "${desktop_flows[@]}"; do "$flow"; done   # what only this desktop's tools can see
search_then_go_to_site
banner
support_window
maker_window
keyboard_only
[ "$(opened_count)" = 5 ] || fail "the opener was called $(opened_count) times, not 5"
step "closing the main window ends the program"
close_main_window 10000
impatient_search
silent_servers
newest_signed_address
! declare -F desktop_finish >/dev/null || desktop_finish
step "PASS; screenshots in $artefacts"
