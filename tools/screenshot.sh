#!/usr/bin/env bash
# Makes docs/main-window.png, the README's picture of the main window, with example entries.
# Run it again whenever the window changes.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD_DIR" --target keyrack_screenshot
LC_ALL=en_US.UTF-8 QT_QPA_PLATFORM=offscreen \
    "$BUILD_DIR/keyrack_screenshot" src/lang/lang.ini docs/main-window.png
echo "docs/main-window.png written"
