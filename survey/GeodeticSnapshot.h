#pragma once

#include "positioning/geodesy/GeodesyCore.h"
#include "positioning/geodesy/GeodesyDatumChain.h"
#include "positioning/geodesy/GeodesyTransverseMercator.h"
#include "positioning/geodesy/LambertConicProjection.h"

#include <optional>
#include <string>

// The device settings' geodetic edits and switches as they stand when acquisition starts.
struct GeodeticTexts {
    std::string edSMA, edIF, edPPM, edRX, edRY, edRZ, edSX, edSY, edSZ;
    std::string edCM, edRL, edSF, edFE, edFN;
    std::string eLCCSP1, eLCCSP2, eLCCSF, eLCCCP, eLCCM, eLCCFE, eLCCFN;
    std::string NameOfDatum;
    bool UseDtp = true;
    bool UseTm = true;
    bool UseLcc = false;        // cbUseLCCProjection
    bool LambertOneParallel = false; // cLambert1
};

// Why a snapshot could not be taken: the control and the caption the operator knows it by.
struct GeodeticRefusal {
    std::string control;
    std::string caption;
};

// The geodetic parameters of one run, read once at Start. Every edit must hold exactly one
// finite number: the datum text joins nine of them, so a missing or extra number would shift
// every later one and move the survey by metres. The flattening must be the flattening itself
// (0 <= f < 0.01, not its inverse), the semi-major axis and the scale factors above 0, and the
// chosen projection must accept its set.
class GeodeticSnapshot {
public:
    static std::optional<GeodeticSnapshot> Take(const GeodeticTexts& texts,
                                                GeodeticRefusal* refusal = nullptr);

    const GeodeticTexts& texts() const { return texts_; }
    // "6378137.0  0.0033528106647474  0.0 ... " followed by the nine local texts: the datum
    // text of the geodesy routines, as the map shows it.
    std::string DatumParameterText() const;

    geodesy::Ellipsoid localEllipsoid() const { return local_; }
    geodesy::SevenParameters datumSet() const { return datumSet_; }
    geodesy::TransverseMercatorParameters transverseMercator() const { return tm_; }
    bool usesLambert() const { return texts_.UseLcc; }
    // The one-parallel set the Lambert projection runs with (two parallels converted).
    const LambertOneParallelSet& lambertSet() const { return lambert_; }

private:
    GeodeticTexts texts_;
    geodesy::Ellipsoid local_;
    geodesy::SevenParameters datumSet_;
    geodesy::TransverseMercatorParameters tm_;
    LambertOneParallelSet lambert_;
};

// Easting and northing (m) and grid convergence (degrees, added to a true bearing to give the
// grid bearing) of one position, always together.
struct GridPosition {
    double Easting = 0;
    double Northing = 0;
    double Convergence = 0;
};

// WGS 84 latitude, longitude and height to the run's grid: the datum change to the local
// ellipsoid, then transverse Mercator (height 0, as the grid has always been computed) or
// Lambert conformal conic (the GGA height). Immutable once built.
class GridProjector {
public:
    explicit GridProjector(const GeodeticSnapshot& snapshot);

    // Nothing when the position cannot be projected (not finite, beyond the poles, outside the
    // cone); `lambertCode` then holds the Lambert routine's code, 0 otherwise.
    std::optional<GridPosition> project(double latitude, double longitude, double height,
                                        int* lambertCode = nullptr) const;

    bool usesLambert() const { return lambert_; }

private:
    geodesy::GeodesyDatumChain chain_;
    geodesy::GeodesyTransverseMercator tm_;
    LambertConicProjection lcc_;
    geodesy::Ellipsoid ellipsoid_;
    double centralMeridian_ = 0;
    double scaleFactor_ = 1;
    bool lambert_ = false;
    bool lambertReady_ = false;
};
