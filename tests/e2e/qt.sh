# The end-to-end hooks of the Linux program (Qt), sourced by e2e.sh: built with the e2e preset,
# links opened with a recording xdg-open first on PATH (tests/support/fake-opener.sh), windows
# found by their X windows and the frames openbox draws.
readonly content_port=47621 link_port=47622   # the e2e preset's server hosts
readonly black_hole_ports=(47623 47624)        # the link list's mirrors before link_port
readonly program=build/e2e/qt/linkvane
readonly link_cwd=/ start_limit_ms=1500 close_limit_ms=1500
desktop_flows=(no_display)
readonly no_display_line='Linkvane needs a graphical desktop: no display could be opened (is DISPLAY set?)'

desktop_build() {
    step "building the program with loopback server hosts (e2e preset)"
    scripts/install-deps.sh build display
    cmake --preset e2e >/dev/null
    cmake --build --preset e2e -j "$(nproc)" --target linkvane >/dev/null
}

desktop_setup() {
    start_window_manager || fail "no window manager"
    mkdir -p "$work/bin" "$work/opened"
    cp tests/support/fake-opener.sh "$work/bin/xdg-open"
    export PATH="$work/bin:$PATH" LINKVANE_OPENER_RECORDS="$work/opened"
}

desktop_start() {
    LANG=C.UTF-8 "$program" "$@" >"$work/program.log" 2>&1 &
    program_pid=$!
}

desktop_locate() {
    local id left right top bottom
    id=$(window_named "$1")
    # xwininfo lists the absolute left and top before the width and height.
    read -r client_left client_top client_width client_height <<<"$(xwininfo -id "$id" |
        awk -F: '/Absolute upper-left [XY]:|^ *(Width|Height):/ {printf "%d ", $2}')"
    read -r left right top bottom <<<"$(xprop -id "$id" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ',')"
    [ -n "$bottom" ] || fail "the window manager reports no frame for $1"
    outer_left=$((client_left - left)) outer_top=$((client_top - top))
    outer_width=$((client_width + left + right)) outer_height=$((client_height + top + bottom))
}

desktop_key() {
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
    xdotool key "$2"
}

# Each record: the name the opener was called by, its working directory, its arguments, each
# ended by a NUL byte; in the order of the calls.
record() { find "$work/opened" -name 'call-*' | sort | sed -n "$(($1 + 1))p"; }
opened_count() { find "$work/opened" -name 'call-*' | wc -l; }
opened_args() { tail -z -n +3 "$(record "$1")"; }
opened_cwd() { sed -z -n 2p "$(record "$1")" | tr -d '\0'; }
as_record() { cat; printf '\0'; }
desktop_cleanup() { :; }

# Qt's own options on the command line (here one that would choose a platform) change nothing.
no_display() {
    step "without a display: one plain line and status 1"
    local status=0
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 15 "$program" -platform offscreen \
        >/dev/null 2>"$work/no-display.log" || status=$?
    [ "$status" = 1 ] || fail "without a display the program ended with status $status"
    printf '%s\n' "$no_display_line" | cmp -s - "$work/no-display.log" ||
        fail "without a display the program said: $(cat "$work/no-display.log")"
}
