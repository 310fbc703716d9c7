#!/usr/bin/env bash
# The longest time the user-interface thread is busy in one go while applies
# run and a store of 100 profiles is saved (offscreen, virtual mouse); then a
# DPI slider's drag: the time from its release to the end of the apply, and
# the user-interface thread during the drag; then adding, renaming and
# deleting a profile in a store of 1,000 profiles; then functions picked from
# a key button's menu, to the end of their apply; then "Applications…" opened
# with 10,000 installed applications and 1,000 rules; then 10,000 profile
# switches over the session bus, with the longest wait for an answer meanwhile.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j2 --target ui_busy slider_apply profile_ops menu_apply app_list bus_flood >/dev/null
build/bin/ui_busy
build/bin/slider_apply
build/bin/profile_ops
build/bin/menu_apply
QT_QPA_PLATFORM=offscreen build/bin/app_list
build/bin/bus_flood
