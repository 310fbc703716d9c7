#!/usr/bin/env bash
# Runs tvq-config against tvq-virtual-mouse, which stands in for the mouse
# behind its 2.4 GHz receiver (heartbeats, battery at 70 %). Ctrl-C stops
# both. Without a display, both run on a private X server with a small tray
# host, and a screenshot of the window is written after start-up.
#
# The demo keeps its profiles in build/demo-data, apart from your own.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

headless=0
[ -n "${DISPLAY:-}" ] || headless=1
if [ $headless -eq 1 ]; then
    scripts/install-deps.sh trayer x11-apps imagemagick
else
    scripts/install-deps.sh
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target tvq-config tvq-virtual-mouse

run=$(mktemp -d /tmp/tvq-demo-XXXXXX)
chmod 700 "$run"
pids=()
cleanup() {
    trap - EXIT INT TERM
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    rm -rf "$run"
}
trap cleanup EXIT INT TERM

if [ $headless -eq 1 ]; then
    exec 3<> "$run/displayfd"
    Xtigervnc -displayfd 3 -SecurityTypes None -nolisten tcp -rfbport -1 \
        -geometry 1100x760 >"$run/x.log" 2>&1 3>"$run/displayfd" &
    pids+=($!)
    for _ in $(seq 100); do
        number=$(tr -dc 0-9 <"$run/displayfd")
        [ -n "$number" ] && break
        sleep 0.05
    done
    export DISPLAY=":$number"
    trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
    pids+=($!)
fi

build/bin/tvq-virtual-mouse --socket "$run/mouse.sock" --control "$run/control.sock" \
    --receiver --heartbeat-ms 1000 --battery 7 </dev/null >"$run/mouse.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    [ -S "$run/control.sock" ] && break
    sleep 0.05
done

mkdir -p build/demo-data build/demo-runtime
chmod 700 build/demo-runtime
TVQ_VIRTUAL_MOUSE="$run/mouse.sock" XDG_DATA_HOME="$root/build/demo-data" \
    XDG_RUNTIME_DIR="$root/build/demo-runtime" build/bin/tvq-config &
pids+=($!)
echo "demo: tvq-config runs with the virtual mouse on the receiver (display $DISPLAY)."
echo "demo: mouse commands: socat - UNIX-CONNECT:$run/control.sock (try 'dpi-stage 3', 'unplug receiver')"

if [ $headless -eq 1 ]; then
    sleep 4
    shot="$root/build/demo-screenshot.png"
    xwd -root -silent | convert xwd:- "$shot"
    echo "demo: screenshot of the window: $shot"
fi
echo "demo: Ctrl-C stops it."
wait "${pids[-1]}"
