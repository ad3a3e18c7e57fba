#pragma once

#include <array>

// Numeric core of the position chain: WGS 84 latitude and longitude to a local datum through
// earth-centred Cartesian coordinates (ECEF). Angles in degrees, lengths in metres, double
// precision throughout: a double resolves an ECEF coordinate to about a nanometre, far below
// what the number texts and the survey need, and keeps the chain fast enough for every fix.

namespace geodesy {

// The value of pi the geodesy texts are defined with.
inline constexpr double kPi = 3.141592653589793;
inline constexpr double kDegreesToRadians = kPi / 180.0;
inline constexpr double kRadiansToDegrees = 180.0 / kPi;

// Semi-major axis (metres) and flattening f (0.0033528106647474 for WGS 84, never 1/f).
struct Ellipsoid {
    double semiMajorAxis = 6378137.0;
    double flattening = 0.0033528106647474;
};

struct EcefPoint {
    double x = 0;
    double y = 0;
    double z = 0;
};

// Latitude and longitude in degrees, ellipsoidal height in metres.
struct GeodeticPoint {
    double latitude = 0;
    double longitude = 0;
    double height = 0;
};

// A seven-parameter similarity transformation in the coordinate frame rotation convention:
// scale correction in parts per million, rotations in seconds of arc, shifts in metres.
struct SevenParameters {
    double scalePpm = 0;
    double rotationX = 0;
    double rotationY = 0;
    double rotationZ = 0;
    double shiftX = 0;
    double shiftY = 0;
    double shiftZ = 0;
};

// Row-major 3 x 3 matrix.
using Matrix3 = std::array<double, 9>;

// A flattening typed as its inverse (298.257...) or a negative or non-finite axis would give
// meaningless eccentricities: only 0 <= f < 0.01 and a finite positive axis are usable.
bool IsUsableEllipsoid(const Ellipsoid& ellipsoid);

// True when every value is finite.
bool IsFiniteSet(const SevenParameters& parameters);

// Squared first eccentricity e^2 = (2 - f) f.
double SquaredEccentricity(double flattening);

// The longitude difference brought into [-180, 180) degrees, so that a survey across the 180th
// meridian stays next to its central meridian.
double WrapLongitudeDifference(double degrees);

// Exact rotation matrix R3(rz) R2(ry) R1(rx) from rotations in seconds of arc (no small-angle
// simplification), multiplied by the scale 1 + ppm 1e-6.
Matrix3 ScaledRotationMatrix(const SevenParameters& parameters);

// Geodetic to ECEF on the ellipsoid. The caller checks the ellipsoid and the latitude.
EcefPoint GeodeticToEcefPoint(const GeodeticPoint& point, const Ellipsoid& ellipsoid);

// ECEF to geodetic by the fixed-point iteration on the latitude (stops when a pass changes it by
// no more than 1e-12 rad). Points on the polar axis give latitude +-90 exactly. Returns false
// for non-finite input, an unusable ellipsoid, or an iteration that does not settle within its
// pass limit (points deep inside the earth).
bool EcefToGeodeticPoint(const EcefPoint& point, const Ellipsoid& ellipsoid, GeodeticPoint& out);

// Most passes the latitude iteration may take; near the surface it needs four or five.
inline constexpr int kLatitudePassLimit = 64;

} // namespace geodesy
