#!/usr/bin/python3
"""Checks a DXF file with an independent reader (python3-ezdxf) for the drawing_io tests.

Usage: /usr/bin/python3 dxf_oracle.py FILE
Reads FILE strictly, then again through the recovering reader with its auditor; exits 1 on any
error of either (`ezdxf audit` itself exits 0 on corrupt files, so it cannot serve). On success
prints, one per line: "LAYER <name>" for each layer table entry, "ENTITY <type> <layer>" for
each model-space entity, and "TEXT <text>" for each TEXT, all in UTF-8.
"""
import sys

import ezdxf
from ezdxf import recover


def main(path):
    try:
        doc = ezdxf.readfile(path)
    except Exception as error:  # any failure of the strict reader fails the check
        print(f"strict read failed: {error}")
        return 1
    try:
        _, auditor = recover.readfile(path)
    except Exception as error:
        print(f"recovering read failed: {error}")
        return 1
    if auditor.has_errors:
        for entry in auditor.errors:
            print(f"audit error: {entry.message}")
        return 1
    out = sys.stdout.buffer
    for layer in doc.layers:
        out.write(f"LAYER {layer.dxf.name}\n".encode("utf-8"))
    for entity in doc.modelspace():
        out.write(f"ENTITY {entity.dxftype()} {entity.dxf.layer}\n".encode("utf-8"))
        if entity.dxftype() == "TEXT":
            out.write(f"TEXT {entity.dxf.text}\n".encode("utf-8"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
