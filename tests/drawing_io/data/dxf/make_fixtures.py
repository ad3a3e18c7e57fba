#!/usr/bin/python3
"""Writes the DXF fixtures of the drawing_io tests and what an independent reader sees in them.

Run from this folder: /usr/bin/python3 make_fixtures.py (needs python3-ezdxf and gdal-bin).
Writes fx_r12.dxf, fx_r2000.dxf, fx_cp1254.dxf, fx_r2018.dxf, gdal_ac1018.dxf and
expected.json (per file: the count of each entity type the map reads, the lines an INSERT
draws, and the end points of arcs and ellipses, all as ezdxf computes them).
"""
import json
import math
import os
import subprocess
import tempfile

import ezdxf

HANDLED = ["LINE", "CIRCLE", "ARC", "ELLIPSE", "SOLID", "TRACE", "POINT", "SPLINE", "TEXT",
           "MTEXT", "LWPOLYLINE", "POLYLINE", "INSERT"]


def r12():
    doc = ezdxf.new("R12")
    doc.layers.new("WALLS", dxfattribs={"color": 1})
    doc.layers.new("LINE", dxfattribs={"color": 3})
    msp = doc.modelspace()
    msp.add_line((0, 0), (10, 5), dxfattribs={"layer": "WALLS"})
    msp.add_circle((20, 20), 5, dxfattribs={"color": 5})
    msp.add_arc((0, 0), 10, 0, 90)
    msp.add_arc((50, 0), 10, 350, 10)
    msp.add_text("Rotated", dxfattribs={"insert": (5, 5), "height": 2.0, "rotation": 30})
    msp.add_polyline2d([(0, 0), (10, 0), (10, 10)], dxfattribs={"layer": "LINE"})
    msp.add_polyline2d([(0, 20), (10, 20), (10, 30)], close=True)
    bulged = msp.add_polyline2d([(30, 0), (40, 0), (40, 10)], format="xyb")
    bulged.vertices[0].dxf.bulge = 0.5
    face = msp.add_polyface()
    face.append_face([(60, 0, 0), (70, 0, 0), (70, 10, 0), (60, 10, 0)])
    msp.add_solid([(80, 0), (90, 0), (80, 10), (90, 10)])
    msp.add_trace([(100, 0), (110, 0), (100, 5), (110, 5)])
    msp.add_point((7, 8))
    door = doc.blocks.new("DOOR")
    door.add_line((0, 0), (1, 0))
    door.add_line((1, 0), (1, 2))
    door.add_line((1, 2), (0, 2))
    door.add_circle((0.5, 1), 0.25)
    msp.add_blockref("DOOR", (100, 50), dxfattribs={"xscale": 2, "yscale": 2, "rotation": 90})
    return doc


def r2000():
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    lw = msp.add_lwpolyline([(0, 0, 0, 0, 0.5), (10, 0), (10, 10)], format="xyseb",
                            close=True)
    assert lw.closed
    msp.add_ellipse((0, 0), major_axis=(10, 0), ratio=0.5, start_param=5.5, end_param=0.5)
    words = "Harbour plan \\Pquay wall \\Lunderlined\\l {\\C1;red} "
    text = (words * 20)[:300]
    msp.add_mtext(text, dxfattribs={"insert": (0, -20), "char_height": 1.5})
    msp.add_open_spline([(0, 0), (5, 5), (10, 0), (15, 5)])
    hatch = msp.add_hatch(color=2, dxfattribs={"layer": "LINE"})
    hatch.paths.add_polyline_path([(0, 0), (5, 0), (5, 5)], is_closed=True)
    msp.add_line((0, 0), (1, 1), dxfattribs={"layer": "LINE"})
    return doc


def turkish(version, encoding):
    doc = ezdxf.new(version)
    if encoding:
        doc.encoding = encoding
    doc.layers.new("İskele_Şev", dxfattribs={"color": 1})
    msp = doc.modelspace()
    msp.add_text("Çağlayan İskelesi öğüş", dxfattribs={"insert": (1, 2), "height": 3,
                                                       "layer": "İskele_Şev"})
    msp.add_line((0, 0), (3, 4), dxfattribs={"layer": "İskele_Şev"})
    return doc


def gdal(path):
    geojson = {
        "type": "FeatureCollection",
        "features": [
            {"type": "Feature", "properties": {},
             "geometry": {"type": "LineString", "coordinates": [[500000, 4500000],
                                                                [500010, 4500005]]}},
            {"type": "Feature", "properties": {},
             "geometry": {"type": "Point", "coordinates": [500001, 4500002]}},
            {"type": "Feature", "properties": {},
             "geometry": {"type": "Polygon", "coordinates": [[[500000, 4500000],
                                                              [500020, 4500000],
                                                              [500020, 4500020],
                                                              [500000, 4500000]]]}},
        ],
    }
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "small.geojson")
        with open(source, "w") as f:
            json.dump(geojson, f)
        if os.path.exists(path):
            os.remove(path)
        subprocess.run(["ogr2ogr", "-f", "DXF", path, source], check=True)


def point(p):
    return [round(p[0], 9), round(p[1], 9)]


def expected(path):
    doc = ezdxf.readfile(path)
    msp = doc.modelspace()
    counts = {t: 0 for t in HANDLED}
    insert_lines = []
    arcs = []
    ellipses = []
    for e in msp:
        t = e.dxftype()
        if t in counts:
            counts[t] += 1
        if t == "INSERT":
            for v in e.virtual_entities():
                if v.dxftype() == "LINE":
                    insert_lines.append(point(v.dxf.start) + point(v.dxf.end))
        elif t == "ARC":
            arcs.append(point(e.start_point) + point(e.end_point))
        elif t == "ELLIPSE":
            ellipses.append(point(e.start_point) + point(e.end_point))
    return {"counts": counts, "insert_lines": insert_lines, "arcs": arcs, "ellipses": ellipses}


def main():
    r12().saveas("fx_r12.dxf")
    r2000().saveas("fx_r2000.dxf")
    turkish("R2000", "cp1254").saveas("fx_cp1254.dxf")
    turkish("R2018", None).saveas("fx_r2018.dxf")
    gdal("gdal_ac1018.dxf")
    names = ["fx_r12.dxf", "fx_r2000.dxf", "fx_cp1254.dxf", "fx_r2018.dxf", "gdal_ac1018.dxf"]
    with open("expected.json", "w") as f:
        json.dump({n: expected(n) for n in names}, f, indent=1, sort_keys=True)
        f.write("\n")


if __name__ == "__main__":
    main()
