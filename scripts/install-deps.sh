#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need, and
# any further packages named on the command line. Idempotent; prints nothing
# when everything is already there.
set -euo pipefail

packages=(
    # build
    g++ cmake ninja-build pkg-config
    # tests and fuzzing
    libgtest-dev libgmock-dev clang libclang-rt-14-dev
    # device access
    libhidapi-dev libudev-dev
    # the desktop program
    qt6-base-dev fonts-dejavu-core
    # the font configuration the program reads ahead at start
    libfontconfig-dev
    # a font with Chinese glyphs, for the layout test of the Chinese texts
    fonts-droid-fallback
    # tvqctl and the virtual mouse; Bluetooth LE over D-Bus (BlueZ), and the private
    # bus of its tests
    nlohmann-json3-dev libsystemd-dev dbus-daemon
    # the stand-in notification service of the battery notification test
    python3-dbusmock
    # the JavaScript engine that runs the KWin script and the GNOME Shell extension in their test
    gjs
    # input hook and keyboard layouts (X11), and the X servers and tools of their tests
    libx11-dev libx11-xcb-dev libxi-dev libxtst-dev libxcb-xkb-dev libxkbcommon-dev
    libxkbcommon-x11-dev xvfb tigervnc-standalone-server xdotool x11-xkb-utils xkb-data xauth
    x11-utils
    # the accessibility test: the AT-SPI bus and a client that walks it as a screen reader does
    at-spi2-core python3-pyatspi gir1.2-atspi-2.0
    # the package test: CPack's Debian generator (dpkg-shlibdeps, file) and the
    # validators of the desktop entry and the metainfo
    dpkg-dev file desktop-file-utils appstream
)

packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
    [ "$status" = "installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
