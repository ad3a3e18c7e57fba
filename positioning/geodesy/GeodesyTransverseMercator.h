#pragma once

#include "positioning/geodesy/GeodesyCore.h"

namespace geodesy {

// Grid definition: central meridian and reference latitude (the latitude of the grid origin)
// in degrees, scale factor on the central meridian, false easting and northing in metres.
struct TransverseMercatorParameters {
    double centralMeridian = 0;
    double referenceLatitude = 0;
    double scaleFactor = 1;
    double falseEasting = 0;
    double falseNorthing = 0;
};

// Transverse Mercator by the classic power series in the longitude difference: within about
// a millimetre of the exact projection up to 4 degrees from the central meridian, about a
// centimetre at 6 degrees. The longitude difference is wrapped into [-180, 180) first.
// Constants are prepared once; an instance is immutable and may be shared between threads.
class GeodesyTransverseMercator {
public:
    GeodesyTransverseMercator(const Ellipsoid& ellipsoid,
                              const TransverseMercatorParameters& parameters);

    // False for an unusable ellipsoid or a non-finite parameter.
    bool isUsable() const { return usable_; }

    // Latitude and longitude in degrees on the projection's ellipsoid; false for an unusable
    // projection, a latitude outside +-90 degrees or a non-finite value.
    bool project(double latitude, double longitude, double& easting, double& northing) const;

private:
    // Meridian distance from the equator without the factor a.
    double meridianArc(double phi, double sinPhi, double cosPhi) const;

    Ellipsoid ellipsoid_;
    TransverseMercatorParameters parameters_;
    double e2_ = 0;
    double ep2_ = 0; // second eccentricity squared
    double c0_ = 0, c2_ = 0, c4_ = 0, c6_ = 0;
    double m0_ = 0; // meridian distance of the reference latitude, metres
    bool usable_ = false;
};

// Grid convergence and point scale factor by their series in geographic coordinates.
struct ConvergenceAndScale {
    double convergence = 0; // degrees, added to a true bearing to give the grid bearing
    double scale = 0;
};

// Angles in degrees; the longitude difference is wrapped into [-180, 180). The convergence is
// negative east of the central meridian in the northern hemisphere. False for an unusable
// ellipsoid, a latitude outside +-90 degrees or a non-finite value.
bool TransverseMercatorConvergenceAndScale(const Ellipsoid& ellipsoid, double latitude,
                                           double longitude, double centralMeridian,
                                           double scaleFactor, ConvergenceAndScale& out);

} // namespace geodesy
