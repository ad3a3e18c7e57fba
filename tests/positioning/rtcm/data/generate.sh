#!/bin/sh
# Regenerates the RTCM 3 fixtures of this folder with Debian's rtklib (str2str) and writes
# gpsdecode's (gpsd-clients) independent decoding of each beside it as <name>.json.
# Usage: sh generate.sh   (about 20 s: str2str emits station messages on a timer)
set -e
cd "$(dirname "$0")"

# str2str converts only while input arrives, so a seed frame (a valid 1005 of station 1, or a
# 1006 of station 31 with a 1.5 m antenna height) is fed to it a few times.
seed1005='\323\000\023\076\320\001\002\011\307\145\044\000\004\250\027\310\000\011\307\145\044\000\205\316\343'
seed1006='\323\000\025\076\340\037\002\010\320\023\035\351\002\031\171\011\176\013\272\071\142\166\072\230\113\177\114'

feed() { # seed, then str2str arguments
    seed=$1; shift
    (for k in 1 2 3 4 5 6; do printf "$seed"; sleep 0.4; done) |
        timeout 5 str2str -in file:///dev/stdin#rtcm3 "$@" 2>/dev/null || true
}

# Station 2417: position, height-less 1006, antenna descriptors and receiver descriptors.
rm -f base2417.rtcm3
feed "$seed1005" -out file://base2417.rtcm3#rtcm3 \
    -msg "1005(1),1006(1),1007(1),1008(1),1033(1)" -p 41.01234567 28.97654321 45.12 \
    -a "TAVANT-1        NONE,12345,3" -i "BASE RX 2,1.07,RX0042" -sta 2417

# The same station moved 0.00002 degrees north.
rm -f base2417_moved.rtcm3
feed "$seed1005" -out file://base2417_moved.rtcm3#rtcm3 -msg "1005(1)" \
    -p 41.01236567 28.97654321 45.12 -sta 2417

# Station 100 south and west of Greenwich (negative Y and Z).
rm -f base0100_southwest.rtcm3
feed "$seed1005" -out file://base0100_southwest.rtcm3#rtcm3 -msg "1006(1)" \
    -p -33.86 -70.65 600.0 -sta 100

# Receiver and antenna descriptors of another antenna, in a 1033 only.
rm -f descriptors1033.rtcm3
feed "$seed1005" -out file://descriptors1033.rtcm3#rtcm3 -msg "1033(1)" \
    -p 41.01234567 28.97654321 45.12 -a "TAVANT-2 RADOME,SN-998877,5" -i "BASE RX 3,2.11,RX0099" \
    -sta 2417

# Station 31 with a 1.5 m antenna height: str2str re-encodes the seed's 1006 (no -p, no -sta,
# so the station comes from the input).
rm -f base0031_height.rtcm3
feed "$seed1006" -out file://base0031_height.rtcm3#rtcm3 -msg "1006(1)"

for f in *.rtcm3; do gpsdecode < "$f" > "${f%.rtcm3}.json"; done
