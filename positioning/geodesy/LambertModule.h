#pragma once

// The Lambert conformal conic module: two parameter sets kept for the whole run, set up first
// and then used by the projections. Angles in radians, lengths in metres, the flattening f
// itself. The state is shared and unguarded: call from the user-interface thread only.
//
// Before any set-up the one-parallel set is WGS 84, origin latitude 45 degrees, central
// meridian 0, false easting and northing 0, scale factor 1; the two-parallel set has standard
// parallels 40 and 50 degrees with the same ellipsoid, origin and central meridian.

// Stores a one-parallel set and returns the cone constant n in force afterwards. A set that is
// not usable (see LambertConicProjection::setUp) is ignored and the previous n returned.
double SetLambert1Parameters(double semiMajorAxis, double flattening, double originLatitude,
                             double centralMeridian, double falseEasting, double falseNorthing,
                             double scaleFactor);

// Projects with the one-parallel set in force. Returns 0 when done; 1 for a latitude outside
// +-pi/2 or the pole the cone does not reach, 2 for a longitude outside [-pi, 2pi], combined with
// OR. A non-zero code leaves easting and northing untouched.
int GeodeticToLambert1(double latitude, double longitude, double& easting, double& northing);

// Stores a two-parallel set and makes its one-parallel equivalent the set in force; returns the
// cone constant n in force afterwards (sin of the parallel for one tangent parallel). A set
// that is not usable, or whose equivalent is not, is ignored and the previous n returned.
double SetLambert2Parameters(double semiMajorAxis, double flattening, double originLatitude,
                             double centralMeridian, double firstParallel, double secondParallel,
                             double falseEasting, double falseNorthing);

// Projects with the stored two-parallel set; its equivalent replaces the one-parallel set in
// force (so a later GeodeticToLambert1 without its own set-up uses it). Codes as above.
int GeodeticToLambert2(double latitude, double longitude, double& easting, double& northing);

// Restores the state of program start.
void ResetLambertParameters();
