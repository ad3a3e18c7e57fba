#!/usr/bin/env bash
# Takes a picture of the started program under a virtual X server and saves it in the build
# tree: build/screenshots/screen.png (the whole screen) and build/screenshots/main-window.png
# (the main window alone), with device-settings-<page>.png for each page of the device settings
# window and battery.png, or in the folder given as first argument.
# The program starts with a fresh HOME and no settings file, as on a first start.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${BUILD_DIR:-build}"
out_dir="${1:-$build_dir/screenshots}"
cmake --build "$build_dir" --target tavrin_screenshot >/dev/null
mkdir -p "$out_dir"
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
HOME="$home" xvfb-run -a -s "-screen 0 1400x900x24" \
    "$build_dir/tools/tavrin_screenshot" "$out_dir" "$home/TavrinSD.INI"
