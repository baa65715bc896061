#!/usr/bin/env bash
# Builds the distributable and plays the bundled demo under Wine, in a fresh
# prefix where no player control is installed yet: the program installs its
# own control through the Windows Installer first, then opens its window.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset windows
cmake --build --preset windows -j"$(nproc)" --target demo
tools/with-display.sh tools/play-demo.sh build/windows/demo build/windows/demo-prefix
