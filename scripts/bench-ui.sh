#!/usr/bin/env bash
# The longest time the user-interface thread is busy in one go while applies
# run and a store of 100 profiles is saved (offscreen, virtual mouse).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j2 --target ui_busy >/dev/null
build/bin/ui_busy
