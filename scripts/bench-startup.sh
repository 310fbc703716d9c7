#!/usr/bin/env bash
# Cold start of tvq-config against a minimal Qt window program, and its idle
# resident memory, on a private X server. With program folders as arguments
# (each with tvq-config, its libraries and res/, as build/bin), it compares
# them instead, started in turn.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j2 --target startup_time >/dev/null
build/bin/startup_time "$@"
