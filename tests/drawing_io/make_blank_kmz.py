#!/usr/bin/python3
"""Writes a KMZ whose doc.kml is a run of blanks, deflated by Python's zipfile: 1 GiB of blanks
gives about 1 MB. The KML reader must stop at its inflated-bytes cap and fail.

Usage: /usr/bin/python3 make_blank_kmz.py OUTPUT [MEBIBYTES]   (default 1024)
"""
import sys
import zipfile


def main(path, mebibytes):
    blanks = b" " * (1 << 20)
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        with archive.open("doc.kml", "w", force_zip64=True) as entry:
            for _ in range(mebibytes):
                entry.write(blanks)


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 1024)
