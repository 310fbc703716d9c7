#!/usr/bin/env bash
# The pictures of the settings page in the README and the AppStream metainfo,
# light and dark, made again from the program's own windows as the appearance
# test draws them (offscreen, at 1x, in English):
#   scripts/screenshots.sh        (after a build; writes docs/screenshots/)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j2 --target tvq_appearance_tests >/dev/null
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
TVQ_SCREENSHOT_DIR="$shots" QT_QPA_PLATFORM=offscreen \
    build/bin/tvq_appearance_tests everyTextStandsOutInTheLightScheme \
    everyTextStandsOutInTheDarkScheme >/dev/null
mkdir -p docs/screenshots
for scheme in light dark; do
    cp "$shots/main-window-start-$scheme@1x.png" "docs/screenshots/page-$scheme.png"
done
echo "docs/screenshots/page-light.png docs/screenshots/page-dark.png"
