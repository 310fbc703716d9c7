#!/usr/bin/env bash
# Measures `tvqctl apply` of the default profile against tvq-virtual-mouse,
# over the cable, through the receiver and over Bluetooth LE (the virtual
# mouse as BlueZ peer on a private D-Bus bus), and prints the wall time divided
# by the protocol floor (12 frames x 200 ms by cable, 12 x 700 ms by receiver,
# 8 x 500 ms over Bluetooth LE, which carries no polling frames).
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
    local best=
    for _ in $(seq "$runs"); do
        local start end ms
        start=$(date +%s%N)
        TVQ_VIRTUAL_MOUSE="$dir/$link.sock" DBUS_SYSTEM_BUS_ADDRESS="${bus:-}" \
            "$bin/tvqctl" apply "$dir/p.pro" >/dev/null
        end=$(date +%s%N)
        ms=$(( (end - start) / 1000000 ))
        echo "  $link run: ${ms} ms"
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    awk -v l="$link" -v b="$best" -v f="$floor_ms" \
        'BEGIN { printf "%s: best %d ms, floor %d ms, ratio %.3f\n", l, b, f, b / f }'
}

echo "tvqctl apply, default profile"
measure cable 2400 --cable
measure receiver 8400 --receiver --heartbeat-ms 50

dbus-daemon --session --nofork --nopidfile --address="unix:path=$dir/bus" \
    --print-address=3 3>"$dir/bus.address" 2>/dev/null &
for _ in $(seq 100); do [ -s "$dir/bus.address" ] && break; sleep 0.05; done
bus=$(head -1 "$dir/bus.address")
measure ble 4000 --ble-bus "$bus"
