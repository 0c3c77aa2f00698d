#!/usr/bin/env bash
# Release check of the Debian package on a machine that has nothing but what the package declares:
# a freshly made Debian 12 root gets the package with its Depends alone (no Recommends), then
# Linkvane starts there, first on the offscreen platform (its libraries and Qt plugins load), then
# on an X server with the xcb platform, as users get it, and its main window must show.
# Prints PASS or FAIL at the end; leaves no process and no mount behind.
#   scripts/check-package.sh [PACKAGE.deb]    default: the newest build/release/linkvane_*.deb
# Needs root, or sudo without a password (debootstrap, chroot, mount). The Debian 12 base is made
# once in build/cleanroot/base (a few minutes) and copied afresh to build/cleanroot/root each time.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "check-package: FAIL: needs root or sudo" >&2; exit 1; }
    exec sudo -n -- "$(realpath "$0")" "$@"
fi
package=${1:+$(realpath "$1")}
cd -P "$(dirname "$0")/.."
[ -n "$package" ] || package=$(ls -t "$PWD"/build/release/linkvane_*.deb 2>/dev/null | head -n 1) || true

readonly suite=bookworm
readonly cleanroot=$PWD/build/cleanroot
readonly base=$cleanroot/base root=$cleanroot/root
readonly screenshot=$cleanroot/linkvane-cleanroot.png
readonly window_title="Linkvane v1.4"
readonly seconds_alive=3

readonly in_root=(chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8)

result=FAIL
app_pid="" xvfb_pid=""
mounted=()

log() { echo "check-package: $*"; }
die() { log "$*"; exit 1; }

# The mounts at or below a directory, deepest first.
mounts_under() { findmnt -rn -o TARGET | grep -E "^$1(/|$)" | sort -r || true; }

# The processes whose root directory is the clean root: whatever the check started in it.
processes_in_root() {
    local proc
    for proc in /proc/[0-9]*; do
        [ "$(readlink "$proc/root" 2>/dev/null)" != "$root" ] || echo "${proc#/proc/}"
    done
}

stop_pid() {
    [ -n "$1" ] || return 0
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

cleanup() {
    local status=$? pid target i
    stop_pid "$app_pid"
    for pid in $(processes_in_root); do
        log "stopping process $pid left in the clean root: $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)"
        kill -KILL "$pid" 2>/dev/null || true
        status=1
    done
    stop_pid "$xvfb_pid"
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" || true
    done
    for target in $(mounts_under "$cleanroot"); do log "still mounted: $target"; status=1; done
    [ "$status" -eq 0 ] && [ "$result" = PASS ] || result=FAIL
    log "$result (${SECONDS} s)"
    [ "$result" = PASS ] && exit 0
    exit 1
}
trap cleanup EXIT

mount_in_root() {
    local target=$root$1
    shift
    mkdir -p "$target"
    mount "$@" "$target"
    mounted+=("$target")
}

# Deletes a directory made by an earlier check, refusing while anything is mounted in it: removing
# a bind mount's contents would remove the host's files.
remove_tree() {
    [ -e "$1" ] || return 0
    [ -z "$(mounts_under "$1")" ] || die "still mounted under $1: $(mounts_under "$1" | xargs)"
    rm -rf --one-file-system "$1"
}

# "URL SUITE" for every Debian 12 source of the build machine's own apt, as apt itself sees them,
# whatever the format of its source lists.
debian_sources() {
    apt-cache policy | awk -v suite="$suite" '
        $3 ~ "^" suite "(-[a-z]+)?/main$" { sub("/main$", "", $3); print $2, $3 }' | sort -u
}

make_base() {
    [ -f "$base/.complete" ] && return 0
    local sources mirror
    sources=$(debian_sources)
    mirror=$(awk -v suite="$suite" '$2 == suite { print $1; exit }' <<<"$sources")
    [ -n "$mirror" ] || die "the build machine's apt has no $suite source (run apt-get update?)"
    log "making a minimal Debian 12 root from $mirror (once; takes minutes)"
    remove_tree "$base"
    timeout 1800 debootstrap --variant=minbase "$suite" "$base" "$mirror" >"$cleanroot/debootstrap.log" 2>&1 ||
        die "debootstrap failed; see $cleanroot/debootstrap.log"
    awk '{ print "deb", $1, $2, "main" }' <<<"$sources" >"$base/etc/apt/sources.list"
    touch "$base/.complete"
}

install_package() {
    log "installing $(basename "$package") with its Depends alone"
    cp "$package" "$root/tmp/"
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    { timeout 600 "${in_root[@]}" apt-get update -q &&
        timeout 900 "${in_root[@]}" DEBIAN_FRONTEND=noninteractive \
            apt-get install -y -q --no-install-recommends "/tmp/$(basename "$package")"; } \
        >"$cleanroot/apt.log" 2>&1 || { tail -n 20 "$cleanroot/apt.log"; die "apt-get failed; see $cleanroot/apt.log"; }
    log "installed $(grep -c '^Setting up' "$cleanroot/apt.log") packages"
}

check_installed_files() {
    local size owners
    desktop-file-validate "$root/usr/share/applications/linkvane.desktop" || die "the desktop entry does not validate"
    for size in 16 24 32 48 64 128 256; do
        [ -f "$root/usr/share/icons/hicolor/${size}x${size}/apps/linkvane.png" ] || die "no ${size}x${size} icon"
    done
    # Linkvane loads the free Tahoma by its path, so no library dependency would bring it.
    [ -f "$root/usr/share/wine/fonts/tahoma.ttf" ] || die "no Tahoma in /usr/share/wine/fonts"
    # The banner may be a GIF, which is only read once one is downloaded, so its reader is checked here.
    owners=$("${in_root[@]}" dpkg -S libqxcb.so libqjpeg.so libqgif.so libqico.so) ||
        die "a Qt plugin Linkvane needs is not installed"
    log "the Qt plugins come from: $(cut -d: -f1 <<<"$owners" | sort -u | xargs)"
}

# The end of what Linkvane wrote to stderr, without Qt's plugin search.
show_log() { grep -vE '^(qt\.core|[[:space:]{}]|$)' "$1" | tail -n 20 || true; }

# Linkvane must still be running after a few seconds and have loaded these Qt plugins.
expect_running_with_plugins() {
    local status=$1 stderr=$2 plugin
    shift 2
    [ "$status" -eq 124 ] || { show_log "$stderr"; die "linkvane ended with status $status within ${seconds_alive} s"; }
    for plugin in "$@"; do
        grep -q "/$plugin\" loaded library" "$stderr" || { show_log "$stderr"; die "$plugin was not loaded"; }
    done
}

run_offscreen() {
    local status=0
    timeout "$seconds_alive" "${in_root[@]}" QT_QPA_PLATFORM=offscreen QT_DEBUG_PLUGINS=1 linkvane \
        2>"$cleanroot/offscreen.log" || status=$?
    expect_running_with_plugins "$status" "$cleanroot/offscreen.log" libqoffscreen.so libqjpeg.so libqico.so
    log "offscreen: Linkvane ran ${seconds_alive} s with the offscreen, JPEG and ICO plugins"
}

# The X server runs outside the root; the root sees its socket through a bind mount.
run_on_x() {
    local window=""
    . scripts/private-display.sh
    start_private_display 1024x768 || die "no X server"
    mount_in_root /tmp/.X11-unix --bind /tmp/.X11-unix
    timeout 60 "${in_root[@]}" DISPLAY="$DISPLAY" QT_DEBUG_PLUGINS=1 linkvane 2>"$cleanroot/xcb.log" &
    app_pid=$!
    for _ in $(seq 100); do
        window=$(xdotool search --onlyvisible --name "^${window_title}\$" 2>/dev/null | head -n 1) || true
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || { show_log "$cleanroot/xcb.log"; die "no visible window \"$window_title\""; }
    sleep "$seconds_alive"
    kill -0 "$app_pid" 2>/dev/null || { wait "$app_pid" || true; die "linkvane ended after showing its window"; }
    import -window root "$screenshot"
    expect_running_with_plugins 124 "$cleanroot/xcb.log" libqxcb.so
    log "xcb: window \"$window_title\" shown and still there after ${seconds_alive} s; screenshot $screenshot"
}

[ -f "$package" ] || die "no package; make one with scripts/package.sh"
scripts/install-deps.sh package display
mkdir -p "$cleanroot"
make_base
remove_tree "$root"
log "copying the Debian 12 base to $root"
cp -a "$base" "$root"
mount_in_root /proc -t proc proc
mount_in_root /sys -t sysfs sysfs
mount_in_root /dev --bind /dev
install_package
check_installed_files
run_offscreen
run_on_x
result=PASS
