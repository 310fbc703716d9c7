#!/usr/bin/env bash
# Measures `tvqctl apply` of the default profile against tvq-virtual-mouse,
# over the cable, through the receiver and over Bluetooth LE (the virtual
# mouse as BlueZ peer on a private D-Bus bus), and prints the apply's time (as
# tvqctl reports it, from the request to the last frame) divided by the
# protocol's floor: 12 frames x 200 ms by cable; 12 x (the mouse's mean
# acknowledgement latency + the 20 ms settle time) through the receiver, with
# the virtual mouse answering after 8 to 25 ms; 8 x 500 ms over Bluetooth LE,
# which carries no polling frames. The receiver runs again with 10 % of the
# acknowledgements lost, which puts the connection at the fixed 700 ms pace.
# Build first (scripts/test.sh or cmake --build build). RUNS=N repeats each.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/bin
runs=${RUNS:-3}
dir=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$dir"' EXIT

"$bin/tvqctl" profile new Bench "$dir/p.pro"

measure() {
    local link=$1 floor_ms=$2
    shift 2
    "$bin/tvq-virtual-mouse" --socket "$dir/$link.sock" "$@" </dev/null >/dev/null &
    local pid=$!
    for _ in $(seq 100); do [ -S "$dir/$link.sock" ] && break; sleep 0.05; done
    local best= all=
    for _ in $(seq "$runs"); do
        local out ms
        out=$(TVQ_VIRTUAL_MOUSE="$dir/$link.sock" DBUS_SYSTEM_BUS_ADDRESS="${bus:-}" \
            "$bin/tvqctl" apply "$dir/p.pro" || true)
        ms=$(sed -nE 's/.*\(([0-9]+) ms\).*/\1/p' <<<"$out" | tail -1)
        all="$all ${ms}"
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    awk -v l="$link" -v b="$best" -v f="$floor_ms" -v a="$all" \
        'BEGIN { printf "%s: runs%s ms; best %d ms, floor %d ms, ratio %.3f\n", l, a, b, f, b / f }'
}

echo "tvqctl apply, default profile"
measure cable 2400 --cable
# (8 + 25) / 2 = 16.5 ms of latency and 20 ms of settle time per frame.
measure receiver 438 --receiver --heartbeat-ms 50 --ack-delay-ms 8-25
measure receiver-10%-lost 438 --receiver --heartbeat-ms 50 --ack-delay-ms 8-25 --loss 10

dbus-daemon --session --nofork --nopidfile --address="unix:path=$dir/bus" \
    --print-address=3 3>"$dir/bus.address" 2>/dev/null &
for _ in $(seq 100); do [ -s "$dir/bus.address" ] && break; sleep 0.05; done
bus=$(head -1 "$dir/bus.address")
measure ble 4000 --ble-bus "$bus"
