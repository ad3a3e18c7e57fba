#!/usr/bin/env bash
# Takes the screenshot tool's pictures (tools/screenshot.sh, under a virtual X server) into a
# temporary folder and checks that each expected picture exists and is not of one colour.
# Run by CTest.
# Usage: check_screenshots.sh <build folder> <picture name> [picture name ...]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="$1"
shift
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# The tests run on Qt's offscreen platform; the pictures need the virtual X server's.
QT_QPA_PLATFORM=xcb BUILD_DIR="$build_dir" tools/screenshot.sh "$work"
pictures=()
for name in "$@"; do
    pictures+=("$work/$name")
done
QT_QPA_PLATFORM=offscreen "$build_dir/tools/tavrin_picture_check" "${pictures[@]}"
