#!/usr/bin/env bash
# The demo's program folder: the built executable and the language files the program ships, in
# "Languages/" beside it as the build puts them, where the status bar's language switch reads
# them. Copies, not links: the program writes "missing.log" into that folder.
#
#   tools/demo_program_folder.sh BUILT_PROGRAM_FOLDER FOLDER
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 BUILT_PROGRAM_FOLDER FOLDER" >&2; exit 2; }
built="$1"
folder="$2"
mkdir -p "$folder/Languages"
ln -f "$built/TavrinSD" "$folder/TavrinSD" 2>/dev/null || cp "$built/TavrinSD" "$folder/TavrinSD"
shopt -s nullglob
languages=("$built"/Languages/*.json)
[ ${#languages[@]} -gt 0 ] || { echo "$0: no language files in $built/Languages" >&2; exit 1; }
cp "${languages[@]}" "$folder/Languages/"
