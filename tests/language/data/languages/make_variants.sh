#!/bin/sh
# Regenerates the variants of tr.json (written by hand: UTF-8 with its mark, CR LF) that the
# language-file tests read. Run from this folder.
set -e
tail -c +4 tr.json | tr -d '\r' > tr-nomark-lf.json
{ printf '\377\376'; tail -c +4 tr.json | iconv -f UTF-8 -t UTF-16LE; } > tr-utf16le.json
{ printf '\376\377'; tail -c +4 tr.json | iconv -f UTF-8 -t UTF-16BE; } > tr-utf16be.json
tail -c +4 tr.json | iconv -f UTF-8 -t CP1254 > tr-cp1254.json
head -c 200 tr.json > tr-truncated.json
