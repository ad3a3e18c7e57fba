#pragma once

// Lambert conformal conic projection on an ellipsoid. Angles in radians, lengths in metres,
// the flattening f itself (never its inverse).

// The one-standard-parallel form: origin latitude (the standard parallel), central meridian,
// false easting and northing, scale factor on the standard parallel.
struct LambertOneParallelSet {
    double semiMajorAxis = 6378137.0;
    double flattening = 1.0 / 298.257223563;
    double originLatitude = 0.7853981633974483;
    double centralMeridian = 0;
    double falseEasting = 0;
    double falseNorthing = 0;
    double scaleFactor = 1.0;
};

// The two-standard-parallel form; false easting and northing hold at the origin latitude on the
// central meridian.
struct LambertTwoParallelSet {
    double semiMajorAxis = 6378137.0;
    double flattening = 1.0 / 298.257223563;
    double originLatitude = 0.7853981633974483;
    double centralMeridian = 0;
    double firstParallel = 0.6981317007977318;
    double secondParallel = 0.8726646259971648;
    double falseEasting = 0;
    double falseNorthing = 0;
};

// Result codes of a projection, combined with OR.
inline constexpr int kLambertDone = 0;
inline constexpr int kLambertLatitudeOutOfRange = 1; // also the pole the cone does not reach
inline constexpr int kLambertLongitudeOutOfRange = 2;

// Highest origin latitude or standard parallel a set may have (89 deg 59 min 59 s).
inline constexpr double kLambertLatitudeLimit = 1.5707914786580854;

// One set in the one-parallel form with its derived constants. Immutable apart from setUp.
class LambertConicProjection {
public:
    LambertConicProjection(); // the defaults of LambertOneParallelSet

    // Takes the set when it is usable (finite values, a > 0, 1/f within [250, 350], origin
    // latitude within +-kLambertLatitudeLimit and not 0, central meridian within [-pi, 2pi],
    // scale factor within [0.3, 3]); a central meridian above pi is stored less 2 pi. Returns
    // false and keeps the previous set otherwise.
    bool setUp(const LambertOneParallelSet& set);

    // Latitude and longitude to easting and northing; a non-zero code leaves both untouched.
    // Latitude outside +-pi/2 (or not a number): code 1; longitude outside [-pi, 2pi]: code 2.
    int project(double latitude, double longitude, double& easting, double& northing) const;

    const LambertOneParallelSet& parameters() const { return set_; }
    double coneConstant() const { return n_; }
    double originRadius() const { return rhoOrigin_; }

private:
    LambertOneParallelSet set_;
    double e_ = 0;
    double n_ = 0;
    double t0_ = 0;
    double rho0_ = 0;
    double rhoOrigin_ = 0;
};

// The one-parallel set equivalent to a two-parallel set: origin latitude asin(n), the scale
// factor on it, and the false northing that puts the grid origin at the set's origin latitude.
// For one tangent parallel (both equal) the origin lies on that parallel. Returns false when the
// two-parallel set or its equivalent is not usable.
bool LambertOneParallelEquivalent(const LambertTwoParallelSet& set, LambertOneParallelSet& out);

// Grid convergence of the Lambert projection in the sign convention of the transverse Mercator
// convergence (added to a true bearing it gives the grid bearing, negative east of the central
// meridian where the cone constant is positive): -n (longitude - central meridian), with the
// difference wrapped into [-pi, pi). Radians in, radians out.
double LambertGridConvergence(double coneConstant, double longitude, double centralMeridian);
