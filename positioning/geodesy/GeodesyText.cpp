#include "positioning/geodesy/GeodesyText.h"

#include "platform/NumberText.h"
#include "positioning/geodesy/GeodesyDatumChain.h"
#include "positioning/geodesy/GeodesyNumberScanner.h"

#include <cmath>
#include <optional>

using geodesy::EcefPoint;
using geodesy::Ellipsoid;
using geodesy::GeodeticPoint;
using geodesy::SevenParameters;

namespace {

const std::string kFailure = "0";
constexpr long double kPiExtended = 3.141592653589793L;

// The texts of a result, joined, or the failure text when one of them does not read back as a
// number: a value near the largest double rounds past it at 15 digits.
std::string JoinReadable(std::initializer_list<std::string> texts, char separator) {
    std::string joined;
    for (const std::string& text : texts) {
        double back = 0;
        if (!ParseNumber(text, back))
            return kFailure;
        if (!joined.empty())
            joined += separator;
        joined += text;
    }
    return joined;
}

std::string EcefText(const EcefPoint& p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
        return kFailure;
    return JoinReadable({FormatGeneral(p.x), FormatGeneral(p.y), FormatGeneral(p.z)}, '\t');
}

std::string GeodeticText(const GeodeticPoint& p) {
    return JoinReadable(
        {FormatFixed(p.latitude, 8), FormatFixed(p.longitude, 8), FormatFixed(p.height, 2)},
        '\t');
}

std::string GridText(double easting, double northing) {
    return JoinReadable({FormatGeneral(easting), FormatGeneral(northing)}, ' ');
}

SevenParameters SetFrom(const double* v) {
    return {v[0], v[1], v[2], v[3], v[4], v[5], v[6]};
}

bool AllFinite(std::initializer_list<long double> values) {
    for (long double v : values) {
        if (!std::isfinite(v))
            return false;
    }
    return true;
}

// The geodetic position handed on between the datum step and the projection is the 8-decimal
// text of the datum step; the projection sees exactly the degrees that text holds.
double ThroughEightDecimals(double degrees) {
    double value = degrees;
    ParseNumber(FormatFixed(degrees, 8), value);
    return value;
}

} // namespace

long double AngleConvert(long double value, const std::string& unit) {
    if (unit == "r" || unit == "R")
        return value * kPiExtended / 180.0L;
    if (unit == "d" || unit == "D")
        return value * 180.0L / kPiExtended;
    return 0.0L;
}

std::string GeodeticToECEF(long double latitude, long double longitude, long double height,
                           long double semiMajorAxis, long double flattening) {
    const Ellipsoid ellipsoid{static_cast<double>(semiMajorAxis), static_cast<double>(flattening)};
    if (!AllFinite({latitude, longitude, height}) || std::fabs(latitude) > 90.0L ||
        !geodesy::IsUsableEllipsoid(ellipsoid))
        return kFailure;
    const GeodeticPoint point{static_cast<double>(latitude), static_cast<double>(longitude),
                              static_cast<double>(height)};
    return EcefText(geodesy::GeodeticToEcefPoint(point, ellipsoid));
}

std::string HelmertTransform(const std::string& mode, const std::string& parameters) {
    double v[10];
    if (!ScanExactNumbers(parameters, v, 10))
        return kFailure;
    const SevenParameters set = SetFrom(v + 3);
    const geodesy::Matrix3 m = geodesy::ScaledRotationMatrix(set);
    EcefPoint result;
    if (mode == "WGS") {
        result = {m[0] * v[0] + m[1] * v[1] + m[2] * v[2] + set.shiftX,
                  m[3] * v[0] + m[4] * v[1] + m[5] * v[2] + set.shiftY,
                  m[6] * v[0] + m[7] * v[1] + m[8] * v[2] + set.shiftZ};
    } else {
        // The exact reverse of the forward step: the inverse of s R, not the forward step with
        // the signs of the parameters changed.
        GeodesyMatrix inverse = MatrixAllocate(3, 3);
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j)
                inverse[i][j] = m[static_cast<size_t>(i * 3 + j)];
        }
        if (MatrixInverse(inverse, 3) == nullptr) {
            MatrixFree(inverse, 3);
            return kFailure;
        }
        GeodesyMatrix d = MatrixAllocate(3, 1);
        d[0][0] = static_cast<long double>(v[0]) - set.shiftX;
        d[1][0] = static_cast<long double>(v[1]) - set.shiftY;
        d[2][0] = static_cast<long double>(v[2]) - set.shiftZ;
        GeodesyMatrix product = MatrixMultiply(inverse, 3, 3, d, 3, 1);
        result = {static_cast<double>(product[0][0]), static_cast<double>(product[1][0]),
                  static_cast<double>(product[2][0])};
        MatrixFree(d, 3);
        MatrixFree(product, 3);
        MatrixFree(inverse, 3);
    }
    return EcefText(result);
}

std::string ECEFToGeodetic(long double x, long double y, long double z, long double semiMajorAxis,
                           long double flattening) {
    GeodeticPoint point;
    if (!geodesy::EcefToGeodeticPoint(
            {static_cast<double>(x), static_cast<double>(y), static_cast<double>(z)},
            {static_cast<double>(semiMajorAxis), static_cast<double>(flattening)}, point))
        return kFailure;
    return GeodeticText(point);
}

bool ReadDatumParameterText(const std::string& text, Ellipsoid& source, SevenParameters& forwardSet,
                            Ellipsoid& target, SevenParameters& reverseSet) {
    double v[18];
    if (!ScanExactNumbers(text, v, 18))
        return false;
    source = {v[0], v[1]};
    forwardSet = SetFrom(v + 2);
    target = {v[9], v[10]};
    reverseSet = SetFrom(v + 11);
    return true;
}

bool ReadTransverseMercatorText(const std::string& text,
                                geodesy::TransverseMercatorParameters& parameters) {
    double v[5];
    if (!ScanExactNumbers(text, v, 5))
        return false;
    parameters = {v[0], v[1], v[2], v[3], v[4]};
    return true;
}

bool ReadProjectionEllipsoidText(const std::string& text, Ellipsoid& ellipsoid) {
    std::size_t position = 0;
    // The first two tokens name the source ellipsoid and are not used.
    if (NextGeodesyToken(text, position).empty() || NextGeodesyToken(text, position).empty())
        return false;
    double v[2];
    if (!ScanExactNumbers(std::string_view(text).substr(position), v, 2))
        return false;
    ellipsoid = {v[0], v[1]};
    return true;
}

namespace {

// The map tick hands the same parameter texts to every conversion: each thread keeps the last
// texts it read with what was prepared from them, so that a repeated text is neither scanned
// nor prepared again. A different text replaces the entry; results are the same either way.
struct PreparedChain {
    std::string text;
    std::optional<geodesy::GeodesyDatumChain> chain; // empty when the text was not readable
};

struct PreparedProjection {
    std::string projectionText;
    std::string ellipsoidText;
    std::optional<geodesy::GeodesyTransverseMercator> projection;
};

const std::optional<geodesy::GeodesyDatumChain>& ChainFor(const std::string& parameters) {
    thread_local PreparedChain last{"\x01", std::nullopt};
    if (parameters != last.text) {
        last.chain.reset();
        Ellipsoid source, target;
        SevenParameters forwardSet, reverseSet;
        if (ReadDatumParameterText(parameters, source, forwardSet, target, reverseSet))
            last.chain.emplace(source, forwardSet, target, reverseSet);
        last.text = parameters;
    }
    return last.chain;
}

const std::optional<geodesy::GeodesyTransverseMercator>&
ProjectionFor(const std::string& projectionParameters, const std::string& ellipsoid) {
    thread_local PreparedProjection last{"\x01", "\x01", std::nullopt};
    if (projectionParameters != last.projectionText || ellipsoid != last.ellipsoidText) {
        last.projection.reset();
        geodesy::TransverseMercatorParameters tm;
        Ellipsoid projectionEllipsoid;
        if (ReadTransverseMercatorText(projectionParameters, tm) &&
            ReadProjectionEllipsoidText(ellipsoid, projectionEllipsoid))
            last.projection.emplace(projectionEllipsoid, tm);
        last.projectionText = projectionParameters;
        last.ellipsoidText = ellipsoid;
    }
    return last.projection;
}

// The datum step shared by DatumTransform and GeodeticToGrid.
bool TransformPoint(const GeodeticPoint& point, const std::string& parameters, bool toEcef,
                    EcefPoint& ecef, GeodeticPoint& geodetic) {
    const auto& chain = ChainFor(parameters);
    if (!chain)
        return false;
    return toEcef ? chain->toTargetEcef(point, ecef) : chain->toTargetGeodetic(point, geodetic);
}

// The projection step shared by GeodeticToGrid and GeodeticToTransverseMercator.
std::string ProjectPoint(double latitude, double longitude, const std::string& projectionParameters,
                         const std::string& ellipsoid) {
    const auto& projection = ProjectionFor(projectionParameters, ellipsoid);
    double easting = 0, northing = 0;
    if (!projection || !projection->project(latitude, longitude, easting, northing))
        return kFailure;
    return GridText(easting, northing);
}

} // namespace

std::string DatumTransform(const std::string& mode, const std::string& point,
                           const std::string& parameters) {
    double v[3];
    if (ScanLeadingNumbers(point, v, 3) < 3)
        return kFailure;
    const GeodeticPoint source{v[0], v[1], v[2]};
    const bool toEcef = mode == "XYZ";
    EcefPoint ecef;
    GeodeticPoint geodetic;
    if (!TransformPoint(source, parameters, toEcef, ecef, geodetic))
        return kFailure;
    return toEcef ? EcefText(ecef) : GeodeticText(geodetic);
}

std::string GeodeticToGrid(const std::string& point, const std::string& datumParameters,
                           const std::string& projectionParameters, const std::string& ellipsoid) {
    // The height is 0 unless the point text gives one: it is read as if " 0" followed the
    // point text, so whatever stands after the longitude must be a height or nothing.
    double v[3] = {0, 0, 0};
    if (ScanLeadingNumbers(point + " 0", v, 3) < 3)
        return kFailure;
    EcefPoint unused;
    GeodeticPoint local;
    if (!TransformPoint({v[0], v[1], v[2]}, datumParameters, false, unused, local))
        return kFailure;
    return ProjectPoint(ThroughEightDecimals(local.latitude), ThroughEightDecimals(local.longitude),
                        projectionParameters, ellipsoid);
}

std::string GeodeticToTransverseMercator(const std::string& point,
                                         const std::string& projectionParameters,
                                         const std::string& ellipsoid) {
    double v[2];
    if (ScanLeadingNumbers(point, v, 2) < 2)
        return kFailure;
    return ProjectPoint(v[0], v[1], projectionParameters, ellipsoid);
}

long double TMScaleOrConvergence(const std::string& mode, double semiMajorAxis, double flattening,
                                 double latitude, double longitude, double centralMeridian,
                                 double /*referenceLatitude*/, double scaleFactor,
                                 double /*falseEasting*/, double /*falseNorthing*/) {
    const bool convergence = mode == "GrdConv";
    if (!convergence && mode != "PtScFac")
        return 0.0L;
    geodesy::ConvergenceAndScale result;
    if (!geodesy::TransverseMercatorConvergenceAndScale(
            {semiMajorAxis, flattening}, latitude, longitude, centralMeridian, scaleFactor, result))
        return 0.0L;
    return convergence ? result.convergence : result.scale;
}

GeodeticToGridConversion::GeodeticToGridConversion(const std::string& datumParameters,
                                                   const std::string& projectionParameters,
                                                   const std::string& ellipsoid) {
    Ellipsoid source, target;
    SevenParameters forwardSet, reverseSet;
    if (ReadDatumParameterText(datumParameters, source, forwardSet, target, reverseSet))
        chain_.emplace(source, forwardSet, target, reverseSet);
    geodesy::TransverseMercatorParameters tm;
    Ellipsoid projectionEllipsoid;
    if (ReadTransverseMercatorText(projectionParameters, tm) &&
        ReadProjectionEllipsoidText(ellipsoid, projectionEllipsoid))
        projection_.emplace(projectionEllipsoid, tm);
}

bool GeodeticToGridConversion::Convert(double latitude, double longitude, double& easting,
                                       double& northing) const {
    if (!IsUsable() || !std::isfinite(latitude) || !std::isfinite(longitude))
        return false;
    GeodeticPoint local;
    if (!chain_->toTargetGeodetic({latitude, longitude, 0.0}, local))
        return false;
    double e = 0, n = 0;
    if (!projection_->project(ThroughEightDecimals(local.latitude),
                              ThroughEightDecimals(local.longitude), e, n) ||
        !std::isfinite(e) || !std::isfinite(n))
        return false;
    easting = e;
    northing = n;
    return true;
}
