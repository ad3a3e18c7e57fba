#!/usr/bin/python3
"""Writes the KML import benchmark's input: PLACEMARKS placemarks (40,000 gives about 13.6 MB,
80,000 about 27 MB), alternating a named point and a named 20-vertex line string, laid out as
GDAL's KML driver writes them (LF line ends, points with an altitude).

Usage: /usr/bin/python3 make_kml.py OUTPUT PLACEMARKS
"""
import random
import sys


def main(path, count):
    rng = random.Random(count)
    with open(path, "w", newline="\n", encoding="utf-8") as f:
        f.write('<?xml version="1.0" encoding="utf-8" ?>\n'
                '<kml xmlns="http://www.opengis.net/kml/2.2">\n'
                '<Document id="root_doc">\n<Folder><name>survey</name>\n')
        for i in range(count):
            lon = 28.5 + rng.random() * 1.5
            lat = 40.5 + rng.random() * 1.5
            f.write("  <Placemark>\n")
            if i % 2 == 0:
                f.write("\t<name>Buoy %d</name>\n" % (i + 1))
                f.write("      <Point><coordinates>%.9f,%.9f,%.3f</coordinates></Point>\n"
                        % (lon, lat, rng.random() * 10))
            else:
                f.write("\t<name>Line %d</name>\n" % (i + 1))
                tuples = []
                for _ in range(20):
                    lon += (rng.random() - 0.5) * 0.001
                    lat += (rng.random() - 0.5) * 0.001
                    tuples.append("%.7f,%.7f" % (lon, lat))
                f.write("      <LineString><coordinates>%s</coordinates></LineString>\n"
                        % " ".join(tuples))
            f.write("  </Placemark>\n")
        f.write("</Folder>\n</Document></kml>\n")


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]))
