#!/usr/bin/env bash
# The settings page through the accessibility bus, as a screen reader sees
# it: starts a private X server, a private session bus with the AT-SPI bus on
# it, tvq-virtual-mouse on the cable and tvq-config, then walks the
# program's accessible tree (walk_page.py) and looks for every operable
# control of the page by role and name. Stops everything it started.
set -euo pipefail
bin=${1:?usage: page_accessibility_test.sh PROGRAM_FOLDER}
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3  # Debian's, which has pyatspi
if ! "$python" -c 'import pyatspi' 2>/dev/null; then
    echo "page_accessibility_test: python3-pyatspi is missing (scripts/install-deps.sh)" >&2
    exit 1
fi

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A private X server on a free display: it writes the display's number
# once it accepts connections; the read waits for that, 10 s at most.
mkfifo "$work/display" "$work/mouse.out"
exec 5<>"$work/display" 6<>"$work/mouse.out"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" 2>/dev/null &
pids+=($!)
read -r -t 10 -u 5 display || { echo "page_accessibility_test: no X server" >&2; exit 1; }
export DISPLAY=":$display"

mkdir -m 0700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" XDG_DATA_HOME="$work/data" HOME="$work"
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
export NO_AT_BRIDGE=0

# The virtual mouse says "ready" once its socket listens.
"$bin/tvq-virtual-mouse" --socket "$work/mouse.sock" --cable </dev/null >"$work/mouse.out" 2>&1 &
pids+=($!)
read -r -t 10 -u 6 ready && [ "$ready" = ready ] ||
    { echo "page_accessibility_test: the virtual mouse did not start" >&2; exit 1; }
export TVQ_VIRTUAL_MOUSE="$work/mouse.sock"

# The session bus, the accessibility bus launched on it, the program and
# the walk, all inside the private session.
dbus-run-session -- bash -c '
    set -euo pipefail
    export DBUS_SYSTEM_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS"  # no BlueZ here
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    launcher=$!
    TVQ_DEBUG=1 "$1/tvq-config" >/dev/null 2>"$4/program.err" &
    program=$!
    status=0
    "$2" "$3/walk_page.py" || status=$?
    if [ "$status" -ne 0 ]; then
        # What the program said of itself (no keystrokes are typed here).
        echo "the program said:" >&2
        tail -n 20 "$4/program.err" >&2
        kill -0 "$program" 2>/dev/null || echo "(the program had ended)" >&2
    fi
    kill "$program" "$launcher" 2>/dev/null || true
    wait "$program" 2>/dev/null || true
    exit "$status"
' bash "$bin" "$python" "$here" "$work"
