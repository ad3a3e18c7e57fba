#pragma once

#include "survey/GeodeticSnapshot.h"

// The local datum the generated surveys, the projection fixtures and the benchmarks use: the
// International ellipsoid (a 6378388, 1/f 297), 3.5 ppm, rotations -1.2/0.8/-2.1", shifts
// -84.1/-101.8/-129.7 m from the local datum to WGS 84; transverse Mercator on 33 E with
// k 0.9996 and 500 km false easting; Lambert with parallels 37 and 41 (or 39 with k 0.9998),
// origin 39 N 33 E, false easting 500 km and northing 200 km.
inline GeodeticTexts ExampleLocalDatum() {
    GeodeticTexts t;
    t.edSMA = "6378388";
    t.edIF = "0.003367003367003367";
    t.edPPM = "3.5";
    t.edRX = "-1.2";
    t.edRY = "0.8";
    t.edRZ = "-2.1";
    t.edSX = "-84.1";
    t.edSY = "-101.8";
    t.edSZ = "-129.7";
    t.edCM = "33";
    t.edRL = "0";
    t.edSF = "0.9996";
    t.edFE = "500000";
    t.edFN = "0";
    t.eLCCSP1 = "37";
    t.eLCCSP2 = "41";
    t.eLCCSF = "0.9998";
    t.eLCCCP = "39";
    t.eLCCM = "33";
    t.eLCCFE = "500000";
    t.eLCCFN = "200000";
    return t;
}
