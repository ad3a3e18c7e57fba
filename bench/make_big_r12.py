#!/usr/bin/python3
"""Writes the DXF import benchmark's input: 500,000 R12 LINEs on one layer, LF line ends,
group codes padded to three characters (about 56.5 MB).

Usage: /usr/bin/python3 make_big_r12.py OUTPUT
"""
import random
import sys


def main(path):
    rng = random.Random(500000)
    with open(path, "w", newline="\n") as f:
        f.write("  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1009\n  0\nENDSEC\n")
        f.write("  0\nSECTION\n  2\nENTITIES\n")
        for _ in range(500000):
            x = 500000 + rng.random() * 10000
            y = 4500000 + rng.random() * 10000
            f.write("  0\nLINE\n  8\nSOUNDINGS\n 10\n%.6f\n 20\n%.6f\n 30\n0.0\n"
                    " 11\n%.6f\n 21\n%.6f\n 31\n0.0\n" % (x, y, x + 1.5, y + 2.5))
        f.write("  0\nENDSEC\n  0\nEOF\n")


if __name__ == "__main__":
    main(sys.argv[1])
