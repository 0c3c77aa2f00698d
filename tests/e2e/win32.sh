# The end-to-end hooks of the Windows program under Wine, sourced by e2e.sh: installed by its
# installer and run from Program Files; its browser and messenger are recorder.exe, its windows are
# asked where they are (probe.exe). openbox leaves keys and stacking to the program, as on Windows.
readonly content_port=47631 link_port=47632   # baked into the program built here
readonly black_hole_ports=(47633 47634)        # the link list's mirrors before link_port
readonly build=$root/build/windows-e2e
readonly program='C:\Program Files\Linkvane\linkvane.exe'
readonly link_cwd='C:\' start_limit_ms=20000 close_limit_ms=5000 recorder='C:\linkvane-e2e\recorder.exe'
desktop_flows=(tool_tip uninstall_while_running)
[ -n "$tools" ] || fail "usage: e2e.sh win32 ARTEFACT_DIR TOOLS_DIR"

desktop_build() {
    step "building linkvane.exe with loopback server hosts, and its installer"
    scripts/install-deps.sh windows display
    local mirrors="127.0.0.1:${black_hole_ports[0]};127.0.0.1:${black_hole_ports[1]};127.0.0.1:$link_port"
    logged configure cmake -S . -B "$build" --toolchain "$root/cmake/toolchain-mingw64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DLINKVANE_CONTENT_SERVER="127.0.0.1:$content_port" \
        -DLINKVANE_LINK_SERVER="$mirrors" -DLINKVANE_SIGNING_KEY="$(sed -n 2p demo/demo-signing.pub)"
    logged build cmake --build "$build" -j 2 --target linkvane
    logged cpack cpack --config "$build/CPackConfig.cmake" -B "$work/package"
}

# Alt+F4 reaches the window (openbox would close its own idea of the focused window), and a click
# raises nothing (openbox would raise a window that a modal one disables, or bury the modal one).
# Wine starts after the X server: its desktop process takes the display of the first program.
desktop_setup() {
    mkdir -p "$work/openbox"
    sed -e '/<keybind key="A-F4">/,/<\/keybind>/d' \
        -e '/<mouse>/,/<\/mouse>/{/<action name="Raise"\/>/d}' /etc/xdg/openbox/rc.xml >"$work/openbox/rc.xml"
    ! grep -q 'A-F4' "$work/openbox/rc.xml" || fail "could not take Alt+F4 from openbox"
    XDG_CONFIG_HOME=$work start_window_manager || fail "no window manager"
    export LINKVANE_WINEPREFIX=${LINKVANE_WINEPREFIX:-$build/wine/prefix}
    . scripts/wine-env.sh
    linkvane_wine_ensure_prefix || fail "no Wine prefix"
    mkdir -p "$WINEPREFIX/drive_c/linkvane-e2e" "$work/opened"
    cp "$tools/recorder.exe" "$tools/probe.exe" "$WINEPREFIX/drive_c/linkvane-e2e/"
    export LINKVANE_E2E_OPENED
    LINKVANE_E2E_OPENED=$(winepath -w "$work/opened" 2>/dev/null)
    wineserver -p60 </dev/null >/dev/null 2>&1 || true
    local key
    for key in 'HKLM\Software\Classes\'{http,https,ymsgr}; do
        logged register wine reg add "$key" /v 'URL Protocol' /d '' /f
        logged register wine reg add "$key\\shell\\open\\command" /ve /d "\"$recorder\" \"%1\"" /f
    done
    install_dir="$WINEPREFIX/drive_c/Program Files/Linkvane"
    shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Linkvane/Linkvane.lnk"
    step "installing silently"
    logged install wine "$work"/package/linkvane-*-win64.exe /S
    [ "$(installation)" = "$installed" ] || fail "installed: $(installation), not $installed"
}

# What of the installation is there, on one line: its folder and files, its Start-menu shortcut, and
# its uninstall entry (asked of the running server: Wine writes system.reg to disk only now and
# then; 64-bit reg.exe reads the 64-bit view, where a 32-bit installer would not have written).
readonly installed='folder LICENSE.txt Uninstall.exe linkvane.exe shortcut registered'
installation() {
    { [ ! -d "$install_dir" ] || { echo folder; LC_ALL=C ls "$install_dir"; }
      [ ! -f "$shortcut" ] || echo shortcut
      ! wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Linkvane' \
          /v UninstallString >/dev/null 2>&1 || echo registered; } | xargs
}

desktop_start() {
    wine "$program" "$@" >"$work/program.log" 2>&1 &
    program_pid=$!
}

# Also sets tooltip ("none", "shown [TEXT]").
desktop_locate() {
    read -r outer_left outer_top outer_width outer_height client_left client_top client_width client_height \
        tooltip <<<"$(wine 'C:\linkvane-e2e\probe.exe' "$1" 2>/dev/null | tr -d '\r')"
    [ -n "$tooltip" ] || fail "no window \"$1\" to probe"
}

# Keys go where the focus is, as a user's do (the window just opened or clicked).
desktop_key() { xdotool key "$2"; }

opened_count() { find "$work/opened" -name 'call-*' | wc -l; }
opened_args() { tail -n +2 "$work/opened/call-$1"; }
opened_cwd() { head -n 1 "$work/opened/call-$1"; }
as_record() { printf '"%s" "' "$recorder"; cat; printf '"'; }   # the registered command
desktop_finish() {
    step "uninstalling silently removes everything"
    logged uninstall wine "C:\\Program Files\\Linkvane\\Uninstall.exe" /S
    # The uninstaller copies itself away and returns at once; the copy removes the files.
    wait_for 30 eval '[ -z "$(installation)" ]' || fail "left after uninstalling: $(installation)"
}
desktop_cleanup() { [ -z "${WINEPREFIX:-}" ] || { wineserver -k; wineserver -w; } >/dev/null 2>&1 || true; }

# Wine's tooltip window gives no text to another process; where it does, it is the caption's.
tool_tip() {
    step "the search button's tooltip"
    xdotool mousemove "$((client_left + 440))" "$((client_top + 380))" sleep 1.5
    desktop_locate "$main_title"
    [ "$tooltip" = shown ] || [ "$tooltip" = "shown جستجو" ] || fail "the search button shows the tooltip \"$tooltip\""
    xdotool mousemove "$((client_left + 650))" "$((client_top + 390))" sleep 0.5
}

uninstall_while_running() {
    step "uninstalling while the program runs: refused, nothing removed"
    # Run in place (_?=) so that its exit code is its own, not that of a copy started elsewhere. The
    # folder after _?= is the rest of the command line, unquoted, which only a batch file passes.
    printf '%s\r\n' '@"C:\Program Files\Linkvane\Uninstall.exe" /S _?=C:\Program Files\Linkvane' \
        '@exit /b %errorlevel%' >"$WINEPREFIX/drive_c/uninstall-in-place.bat"
    local status=0
    wine cmd /c 'C:\uninstall-in-place.bat' >"$work/refused.log" 2>&1 || status=$?
    [ "$status" = 2 ] || fail "the uninstaller ended with $status, not 2, while the program ran"
    [ "$(installation)" = "$installed" ] || fail "while the program ran, the uninstaller left only: $(installation)"
}
