#!/usr/bin/env bash
# make demo: a survey without devices. tavrin-surveysim writes an hour of a generated survey (a
# receiver at 10 Hz along 1 km lines at 5 knots, an echo sounder at 20 Hz, malformed lines in
# both) and the settings that read it: COM1 and COM2 mapped to two pseudo-terminals, their port
# pages, an NMEA DBT sounder, a local datum with transverse Mercator, the survey set-up. Two
# tavrin-devsim play the scripts there in a loop, and the program starts with a temporary HOME
# from a link beside that settings file (it reads TavrinSD.INI beside itself), with the shipped
# language files in "Languages/" beside it (tools/demo_program_folder.sh). Press Start:
# within seconds the map shows the vessel, its track and depth labels, and the logs fill
# $HOME/WJT/<date>/ ("Open Log Folder"). Closing the program, or interrupting the script,
# ends the devices and removes the temporary folder.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${BUILD_DIR:-build}"
case "$build_dir" in
/*) ;;
*) build_dir="$PWD/$build_dir" ;;
esac
cmake --build "$build_dir" --target TavrinSD tavrin-devsim tavrin-surveysim >/dev/null

demo="$(mktemp -d "$build_dir/demo.XXXXXX")"
children=()
cleanup() {
    for pid in "${children[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${children[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$demo"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

mkdir -p "$demo/home" "$demo/program" "$demo/survey"
"$build_dir/tools/tavrin-surveysim" --seed 1 --steps 72010 --write "$demo/survey" >/dev/null
# The devices play whether or not the program reads them, as real ones do.
for device in gnss:100 sounder:50; do
    name="${device%%:*}"
    "$build_dir/tools/tavrin-devsim" --link "$demo/$name" --script "$demo/survey/$name.txt" \
        --epoch-ms "${device##*:}" --loop --drop-unread >/dev/null &
    children+=($!)
done
for _ in $(seq 100); do
    [ -e "$demo/gnss" ] && [ -e "$demo/sounder" ] && break
    sleep 0.1
done
[ -e "$demo/gnss" ] && [ -e "$demo/sounder" ] || { echo "demo: the simulated devices did not start" >&2; exit 1; }

tools/demo_program_folder.sh "$build_dir/app" "$demo/program"
"$build_dir/tools/tavrin-surveysim" --settings "$demo/program/TavrinSD.INI" \
    --gnss-device "$demo/gnss" --sounder-device "$demo/sounder" --track-distance 5
# The map 300 m across, as when steering a line; it follows the vessel from the first fix.
printf '[CANVAS]\r\nPlanWorldLeft=0\r\nPlanWorldRight=300\r\nPlanWorldTop=200\r\nPlanWorldBottom=0\r\n' \
    >>"$demo/program/TavrinSD.INI"

echo "demo: receiver on $demo/gnss (COM1), sounder on $demo/sounder (COM2), HOME=$demo/home"
echo "demo: press Start in the program; close it to end the demo"
HOME="$demo/home" "$demo/program/TavrinSD" &
program=$!
children+=("$program")
wait "$program" || true
