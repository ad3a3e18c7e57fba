#!/usr/bin/env python3
"""Writes made-up raw-measurement epochs (GPS, four satellites, one per second) to stdout, in
the binary receiver format that str2str reads with its "#ubx" input option.

They are only raw material for str2str, which turns them into the RTCM 3 stream that the
NTRIP tests' caster serves (see tests/positioning/ntrip/data/README.md).
"""
import struct
import sys

SATELLITES = ((5, 21000000.123), (12, 22500000.456), (19, 23750000.789), (25, 20500000.012))
L1_WAVELENGTH = 0.19029367279836487


def rawx_epoch(second):
    measurements = b""
    for sv, pseudorange in SATELLITES:
        pr = pseudorange + second * 120.0
        measurements += struct.pack("<ddfBBBBHBBBBBB", pr, pr / L1_WAVELENGTH, -630.0,
                                    0, sv, 0, 0, 20000, 44, 2, 2, 2, 0x07, 0)
    header = struct.pack("<dHbBBB2x", 345600.0 + second, 2400, 18, len(SATELLITES), 1, 1)
    payload = header + measurements
    body = bytes([0x02, 0x15]) + struct.pack("<H", len(payload)) + payload
    a = b = 0
    for byte in body:
        a = (a + byte) & 0xFF
        b = (b + a) & 0xFF
    return b"\xb5\x62" + body + bytes([a, b])


sys.stdout.buffer.write(b"".join(rawx_epoch(s) for s in range(20)))
