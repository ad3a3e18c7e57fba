#pragma once

#include "positioning/geodesy/GeodesyCore.h"
#include "positioning/geodesy/GeodesyDatumChain.h"
#include "positioning/geodesy/GeodesyMatrix.h"
#include "positioning/geodesy/GeodesyTransverseMercator.h"

#include <optional>
#include <string>

// The text interfaces of the geodesy routines, over the numeric core. Inputs are numbers
// separated by white space with '.' as the decimal point; results are general number texts
// (15 significant digits) or, for geodetic results, fixed texts with 8 decimals for degrees and
// 2 for metres, never depending on the locale. A failed conversion returns the text "0" (one
// number), so callers recognise it by the count of numbers they read back. Ellipsoids are always
// semi-major axis and flattening (0.0033528106647474 for WGS 84), never the inverse flattening.

// Unit "r" or "R": degrees to radians; "d" or "D": radians to degrees; any other unit: 0.
long double AngleConvert(long double value, const std::string& unit);

// Geodetic (degrees, metres) to ECEF: "X<TAB>Y<TAB>Z" in metres.
std::string GeodeticToECEF(long double latitude, long double longitude, long double height,
                           long double semiMajorAxis, long double flattening);

// Parameter text of exactly ten numbers: X Y Z ppm rx ry rz tx ty tz (rotations in seconds of
// arc). Mode exactly "WGS": the forward transformation; any other mode: its exact reverse.
// Result "X<TAB>Y<TAB>Z".
std::string HelmertTransform(const std::string& mode, const std::string& parameters);

// ECEF to "latitude<TAB>longitude<TAB>height" (8, 8 and 2 decimals).
std::string ECEFToGeodetic(long double x, long double y, long double z, long double semiMajorAxis,
                           long double flattening);

// Point text: latitude, longitude (degrees) and height (metres); further tokens are ignored.
// Datum parameter text: exactly 18 numbers, source a and f, the first seven-parameter set
// (applied forward), target a and f, the second set (applied in reverse). Mode exactly "XYZ":
// the ECEF text on the target datum; any other mode: the geodetic text on the target ellipsoid.
std::string DatumTransform(const std::string& mode, const std::string& point,
                           const std::string& parameters);

// Point text: WGS 84 latitude and longitude, optionally followed by the height (0 without it);
// a third token that is not a number gives "0". The datum change of DatumTransform ("BLH"),
// its result handed on as the 8-decimal geodetic text, then GeodeticToTransverseMercator.
// Result "easting northing".
std::string GeodeticToGrid(const std::string& point, const std::string& datumParameters,
                           const std::string& projectionParameters, const std::string& ellipsoid);

// Point text: latitude and longitude (degrees) on the projection ellipsoid. Projection text:
// exactly five numbers, central meridian, reference latitude, scale factor, false easting,
// false northing. Ellipsoid text: exactly four tokens, the first two skipped, then a and f.
// Result "easting northing" (general number texts, metres).
std::string GeodeticToTransverseMercator(const std::string& point,
                                         const std::string& projectionParameters,
                                         const std::string& ellipsoid);

// Mode exactly "GrdConv": the grid convergence in degrees (added to a true bearing gives the grid
// bearing; negative east of the central meridian in the northern hemisphere); "PtScFac": the
// point scale factor; any other mode, or values that cannot be converted: 0. The reference
// latitude, false easting and false northing do not enter either value.
long double TMScaleOrConvergence(const std::string& mode, double semiMajorAxis, double flattening,
                                 double latitude, double longitude, double centralMeridian,
                                 double referenceLatitude, double scaleFactor, double falseEasting,
                                 double falseNorthing);

// Readers of the parameter texts above, for callers that convert many points with the same
// parameters through the numeric core. Each needs exactly the numbers described above.
bool ReadDatumParameterText(const std::string& text, geodesy::Ellipsoid& source,
                            geodesy::SevenParameters& forwardSet, geodesy::Ellipsoid& target,
                            geodesy::SevenParameters& reverseSet);
bool ReadTransverseMercatorText(const std::string& text,
                                geodesy::TransverseMercatorParameters& parameters);
bool ReadProjectionEllipsoidText(const std::string& text, geodesy::Ellipsoid& ellipsoid);

// GeodeticToGrid for many points with the same parameter texts: the texts are read once, when
// it is made, and each point goes through the same steps on numbers (datum change, the local
// position through 8 decimals, transverse Mercator) without being written out and read back.
class GeodeticToGridConversion {
public:
    GeodeticToGridConversion(const std::string& datumParameters,
                             const std::string& projectionParameters,
                             const std::string& ellipsoid);

    // False when a parameter text did not read.
    bool IsUsable() const { return chain_.has_value() && projection_.has_value(); }
    // False, leaving easting and northing alone, when the point cannot be converted.
    bool Convert(double latitude, double longitude, double& easting, double& northing) const;

private:
    std::optional<geodesy::GeodesyDatumChain> chain_;
    std::optional<geodesy::GeodesyTransverseMercator> projection_;
};
