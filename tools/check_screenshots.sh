#!/usr/bin/env bash
# Takes the screenshot tool's pictures under a virtual X server into a temporary folder and
# checks that each expected picture exists and is not of one colour. Run by CTest.
# Usage: check_screenshots.sh <tools build folder> <picture name> [picture name ...]
set -euo pipefail
tools_dir="$1"
shift
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
HOME="$work" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1400x900x24" \
    "$tools_dir/tavrin_screenshot" "$work" "$work/TavrinSD.INI"
pictures=()
for name in "$@"; do
    pictures+=("$work/$name")
done
QT_QPA_PLATFORM=offscreen "$tools_dir/tavrin_picture_check" "${pictures[@]}"
