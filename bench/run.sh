#!/usr/bin/env bash
# Builds the benchmarks (release preset) and runs them: start-up, idle cost and peak memory of the
# main window against a bare Qt window, and one download against curl, all on loopback. Prints
# markdown tables; Qt's and the children's messages go to build/release/bench/bench.log.
#   bench/run.sh [--xvfb] [RUNNER OPTIONS...]
#     The windows are measured on the offscreen platform, and also on an X server: the one of
#     DISPLAY when it is set, else, with --xvfb, a private Xvfb started and stopped here.
#     RUNNER OPTIONS go to every linkvane-bench run: --runs N (start-up pairs and fetch rounds,
#     default 11), --idle-runs N (default 3), --idle-seconds S (default 10).
# Bounded: each runner pass is stopped after 15 minutes; nothing is left running.
set -euo pipefail
cd "$(dirname "$0")/.."

xvfb=0
if [ "${1:-}" = --xvfb ]; then xvfb=1; shift; fi
groups=(build bench)
if [ $xvfb = 1 ] && [ -z "${DISPLAY:-}" ]; then groups+=(display); fi
scripts/install-deps.sh "${groups[@]}"
# The package build (scripts/package.sh) shares this build directory and turns the benchmarks off.
cmake --preset release -DLINKVANE_BUILD_BENCH=ON >/dev/null
cmake --build --preset release -j "$(nproc)" --target linkvane-bench linkvane-bench-window linkvane-bench-fetch >/dev/null

readonly bin=build/release/bench log=build/release/bench/bench.log
: >"$log"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM
export LC_ALL=C.UTF-8 XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

# One runner pass, in the background so that a signal reaches the trap at once.
run() {
    timeout -k 5 900 "$bin/linkvane-bench" "$@" 2>>"$log" &
    pids+=($!)
    wait $! || { echo "bench: linkvane-bench failed; the end of $log:" >&2; tail -n 20 "$log" >&2; exit 1; }
}

display=${DISPLAY:-}
platform="xcb, DISPLAY=$display"
if [ -z "$display" ] && [ $xvfb = 1 ]; then
    . scripts/private-display.sh
    start_private_display 1280x800
    # A window manager, as on a desktop: it maps the window and gives it the focus.
    start_window_manager
    display=$DISPLAY
    platform="xcb on Xvfb $display with openbox"
fi

echo "## Linkvane benchmarks"
echo
echo "$(nproc) cores ($(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n 1)), $(free -g | awk '/^Mem/ {print $2}') GiB," \
     "$(. /etc/os-release && echo "$PRETTY_NAME"), Qt $(dpkg-query -W -f='${Version}' qt6-base-dev)," \
     "$(curl --version | head -n 1 | cut -d' ' -f1-2); load average before: $(cut -d' ' -f1-3 /proc/loadavg)"

QT_QPA_PLATFORM=offscreen run --platform-name offscreen "$@"
if [ -n "$display" ]; then
    DISPLAY=$display QT_QPA_PLATFORM=xcb run --platform-name "$platform" --sections startup,idle "$@"
fi
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
