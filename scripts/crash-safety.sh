#!/usr/bin/env bash
# Kills a process that saves the profile store (30 profiles) with SIGKILL at
# random moments, TRIALS times (1000 unless given), and checks after each
# kill that the store is complete and that the next start leaves no
# temporary file beside it. Then kills a process that imports profiles with
# ten macros each and adds plain ones, TRIALS / 4 times, and checks after
# each kill that every profile it reported stored is there and that no macro
# of an import is left without its profile.
set -euo pipefail
cd "$(dirname "$0")/.."
trials=${1:-1000}
cmake --build build -j2 --target store_saver >/dev/null
saver=$PWD/build/bin/store_saver
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export XDG_DATA_HOME=$home
folder="$home/TERVANA TVQ-R270 WIRELESS MOUSE/ms_1"
"$saver" make 30
size=$(stat -c %s "$folder/pro.data")
leftovers_after_kill=0
incomplete=0
not_cleaned=0
for ((t = 1; t <= trials; t++)); do
    "$saver" save &
    pid=$!
    # A random moment within the first 60 ms of saving (each save of the
    # 4.9 MB store takes a few ms): the kill falls anywhere in a write.
    wait_ms=$((1 + RANDOM % 60))
    timeout "0.0$(printf '%02d' "$wait_ms")" tail -f /dev/null || true
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null || true
    found=$(find "$folder" -maxdepth 1 -name 'pro.data.??????' | wc -l)
    leftovers_after_kill=$((leftovers_after_kill + found))
    if [ "$(stat -c %s "$folder/pro.data")" != "$size" ]; then
        incomplete=$((incomplete + 1))
    fi
    if [ "$("$saver" start)" != "30" ]; then
        incomplete=$((incomplete + 1))
    fi
    if [ "$(find "$folder" -maxdepth 1 -name 'pro.data.*' | wc -l)" != 0 ]; then
        not_cleaned=$((not_cleaned + 1))
    fi
done
echo "crash safety: $trials kills during saves of a 30-profile store ($size bytes):"
echo "  stores incomplete or not loading cleanly: $incomplete"
echo "  temporary files found right after a kill: $leftovers_after_kill"
echo "  temporary files left after the next start: $not_cleaned"

imports=$((trials / 4))
lost=0
orphans=0
rm -rf "$folder"
for ((t = 1; t <= imports; t++)); do
    "$saver" import >"$home/reported" &
    pid=$!
    wait_ms=$((1 + RANDOM % 60))
    timeout "0.0$(printf '%02d' "$wait_ms")" tail -f /dev/null || true
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null || true
    "$saver" check >"$home/found"
    read -r _ _ orphaned <"$home/found"
    orphans=$((orphans + orphaned))
    while read -r _ name; do
        grep -qx "$name" "$home/found" || lost=$((lost + 1))
    done <"$home/reported"
done
read -r profiles macros _ <"$home/found"
echo "crash safety: $imports kills during imports and adds ($profiles profiles, $macros macros at the end):"
echo "  profiles reported stored but missing: $lost"
echo "  macros of an import left without its profile: $orphans"
[ "$incomplete" = 0 ] && [ "$not_cleaned" = 0 ] && [ "$lost" = 0 ] && [ "$orphans" = 0 ]
