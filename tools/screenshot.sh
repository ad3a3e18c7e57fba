#!/usr/bin/env bash
# Takes a picture of the started program under a virtual X server and saves it in the build
# tree: build/screenshots/screen.png (the whole screen) and build/screenshots/main-window.png
# (the main window alone), with navigation-settings.png and vessel-shape.png (those tool
# windows alone), or in the folder given as first argument.
# The program starts with a fresh HOME, as on a first start, but for an NTRIP set-up that
# connects to a local caster (str2str), so that the NTRIP window is pictured receiving data:
# build/screenshots/ntrip.png and rtcm-report.png; and the main window walked into Turkish with
# the translation editor: main-window-tr.png and translation-editor.png. The survey windows
# follow with values in them: Offsets.png, fRealtime.png, fLatency.png, fWaterfal.png (a
# demo echogram), fSVP.png (a cast built into a velocity column) and fSVPGraph.png (its graph
# with the thermocline lassoed). Then each page of the device settings window (device-settings-<page>.png),
# battery.png, the theme chooser previewing "Dark" and the on-screen keypad and keyboard:
# theme.png, keypad.png, keyboard.png.
# The "Dark" theme over the main window with the navigation settings window in front:
# dark-navigation-settings.png; the main window walked into Turkish with the language file the
# program ships: main-window-tr.png.
# What the operator meets first: first-start.png (right after the start, every window it shows
# clear of the main window's menu, tool bars and status bar), offsets-keypad.png (the set-up
# window with the keypad a click on its "A" field brought up), offsets-keyboard.png (the letter
# keyboard its "Location" field brought up, above the set-up window) and stop-recording.png (the tool
# bars while a survey is recorded: a red, readable "Stop" on the green bar).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${BUILD_DIR:-build}"
out_dir="${1:-$build_dir/screenshots}"
cmake --build "$build_dir" --target tavrin_screenshot >/dev/null
mkdir -p "$out_dir"
home="$(mktemp -d)"
caster_pid=""
trap '[ -n "$caster_pid" ] && kill "$caster_pid" 2>/dev/null; rm -rf "$home"' EXIT

# A caster on 127.0.0.1 serving the recorded corrections, and an NTRIP set-up that connects to
# it at start, so the NTRIP window can be pictured receiving data.
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
recording="tests/positioning/ntrip/data/corrections.rtcm3"
(while :; do cat "$recording"; sleep 0.2; done) |
    str2str -out "ntripc://surveyor:secret@:$port/TAVRIN1:Tavrin demo stream" >/dev/null 2>&1 &
caster_pid=$!
printf '[NTRIP]\r\nServer=127.0.0.1\r\nPort=%s\r\nUsername=surveyor\r\nPassword=secret\r\nMountPoint=TAVRIN1\r\nAutoConnect=1\r\n' \
    "$port" >"$home/TavrinSD.INI"
# The Turkish language file the program ships, for the pictures of the translated main window
# and the editor.
mkdir -p "$home/Languages"
cp app/translation/Languages/tr.json "$home/Languages/"
# A display number of its own to start the search from: parallel runs (the test suite starts
# other X servers) never race for the same one.
HOME="$home" xvfb-run -a -n $((201 + $$ % 5000 * 3)) -s "-screen 0 1400x900x24" \
    "$build_dir/tools/tavrin_screenshot" "$out_dir" "$home/TavrinSD.INI"
