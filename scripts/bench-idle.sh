#!/usr/bin/env bash
# CPU time of the program left alone for 30 s (offscreen, after 5 s of
# start-up): with no mouse at all, and with the virtual mouse behind the
# receiver sending one heartbeat a second, and with no mouse in an X11
# session (a private X server) where profiles follow the application in
# focus and the focus does not change. Goals: 20 ms, 50 ms and 20 ms.
# The program folder to run is build/bin unless given.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build/bin}
[ -n "${1:-}" ] || cmake --build build -j2 --target tvq-config tvq-virtual-mouse >/dev/null
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
tick=$(getconf CLK_TCK)

cpu_ms() {  # user + system time of a process, in ms
    awk -v t="$tick" '{ print ($14 + $15) * 1000 / t }' "/proc/$1/stat"
}

measure() {
    local label=$1
    shift
    mkdir -p "$work/$label/run"
    chmod 700 "$work/$label/run"
    env QT_QPA_PLATFORM=offscreen "$@" XDG_RUNTIME_DIR="$work/$label/run" \
        XDG_DATA_HOME="$work/$label/data" HOME="$work/$label" "$bin/tvq-config" 2>/dev/null &
    local pid=$!
    pids+=("$pid")
    timeout 5 tail --pid="$pid" -f /dev/null || true  # start-up
    local before after
    before=$(cpu_ms "$pid")
    timeout 30 tail --pid="$pid" -f /dev/null || true
    after=$(cpu_ms "$pid")
    kill "$pid"
    wait "$pid" || true
    echo "idle 30 s, $label: $(awk -v a="$after" -v b="$before" 'BEGIN { print a - b }') ms of CPU"
}

measure "no mouse" TVQ_VIRTUAL_MOUSE=
"$bin/tvq-virtual-mouse" --socket "$work/vm.sock" --receiver --heartbeat-ms 1000 \
    >/dev/null 2>&1 &
pids+=($!)
timeout 5 bash -c "until [ -S '$work/vm.sock' ]; do :; done"
measure "receiver, heartbeat 1/s" TVQ_VIRTUAL_MOUSE="$work/vm.sock"

# An X11 session: the program follows _NET_ACTIVE_WINDOW on its own X server.
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
pids+=($!)
timeout 5 bash -c "until xdpyinfo -display '$display' >/dev/null 2>&1; do sleep 0.05; done"
mkdir -p "$work/focus/config/tvq-config"
echo '{"applications": {"automatic": true, "rules": [{"app": "gimp", "profile": "Profile1"}]}}' \
    >"$work/focus/config/tvq-config/settings.json"
measure "focus followed, no focus change" TVQ_VIRTUAL_MOUSE= QT_QPA_PLATFORM=xcb \
    DISPLAY="$display" XDG_SESSION_TYPE=x11 XDG_CONFIG_HOME="$work/focus/config"
