#!/usr/bin/env bash
# Latency from an XTEST key press to the message Hook.so posts, on a private
# X server: median and 99th percentile over 1000 presses and their releases;
# then from an XTEST key event to its row in the macro editor while recording.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j2 --target hook_latency record_latency >/dev/null
build/bin/hook_latency "${1:-1000}"
build/bin/record_latency
