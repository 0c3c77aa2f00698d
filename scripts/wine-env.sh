# Sourced by wine-run.sh and wine-session.sh: the environment of Linkvane's private Wine prefix and
# its creation on first use. Not a program.
#   LINKVANE_WINEPREFIX   the prefix (default: build/wine/prefix of this repository)
# The prefix's HOME is the folder "home" beside it, so nothing is written to the real home.

linkvane_repo_root=$(cd -P "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${LINKVANE_WINEPREFIX:-$linkvane_repo_root/build/wine/prefix}
case $WINEPREFIX in /*) ;; *) WINEPREFIX=$PWD/$WINEPREFIX ;; esac
linkvane_wine_dir=$(dirname "$WINEPREFIX")
export HOME=$linkvane_wine_dir/home
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko installer at the first start, no menu entries or file associations on the desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
readonly linkvane_wine_ready=$WINEPREFIX/.linkvane-ready

linkvane_wine_log() { echo "wine: $*" >&2; }

# Creates the prefix once (wineboot) and gives it the free Tahoma and the other fonts of fonts-wine
# (but not its bold Tahoma, see below), which Wine does not find in /usr/share/wine/fonts by itself.
# Safe when several callers start at once.
linkvane_wine_ensure_prefix() {
    [ -f "$linkvane_wine_ready" ] && return 0
    command -v wine >/dev/null || { linkvane_wine_log "no wine (scripts/install-deps.sh windows)"; return 1; }
    mkdir -p "$linkvane_wine_dir" "$HOME"
    local lock
    exec {lock}>"$WINEPREFIX.lock"
    flock "$lock"
    if [ ! -f "$linkvane_wine_ready" ]; then
        local seconds=$SECONDS log=$linkvane_wine_dir/wineboot.log
        linkvane_wine_log "creating the prefix $WINEPREFIX (once)"
        rm -rf "$WINEPREFIX"
        # Output to a file: the wineserver and the services wineboot starts inherit these
        # descriptors, and whoever reads our output (CTest) would wait for them to close.
        if ! wine wineboot --init </dev/null >"$log" 2>&1 || ! wineserver -w >>"$log" 2>&1; then
            cat "$log" >&2
            linkvane_wine_log "wineboot failed"
            exec {lock}>&-
            return 1
        fi
        if [ -d /usr/share/wine/fonts ]; then
            # Not the free Tahoma Bold: at the window's 11 px it draws some Persian letters
            # without their dots (ب ن ي). Without it Wine emboldens the regular Tahoma, dots kept,
            # which is nearer to what Windows' own Tahoma Bold shows.
            find /usr/share/wine/fonts -maxdepth 1 -type f ! -name tahomabd.ttf \
                -exec cp {} "$WINEPREFIX/drive_c/windows/Fonts/" \;
        else
            linkvane_wine_log "warning: no /usr/share/wine/fonts (package fonts-wine): no Tahoma"
        fi
        touch "$linkvane_wine_ready"
        linkvane_wine_log "prefix ready in $((SECONDS - seconds)) s"
    fi
    exec {lock}>&-
}
