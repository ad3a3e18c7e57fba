#include "survey/GeodeticSnapshot.h"

#include "survey/FieldNumber.h"

#include <cmath>

namespace {

struct Field {
    const std::string GeodeticTexts::*text;
    const char* control;
    const char* caption;
};

// In the order the map has always converted them.
const Field kFields[] = {
    {&GeodeticTexts::edSMA, "edSMA", "Semi Major Axis"},
    {&GeodeticTexts::edIF, "edIF", "Flattening"},
    {&GeodeticTexts::edPPM, "edPPM", "Scale Factor (ppm)"},
    {&GeodeticTexts::edRX, "edRX", "X Rotation"},
    {&GeodeticTexts::edRY, "edRY", "Y Rotation"},
    {&GeodeticTexts::edRZ, "edRZ", "Z Rotation"},
    {&GeodeticTexts::edSX, "edSX", "X Shift"},
    {&GeodeticTexts::edSY, "edSY", "Y Shift"},
    {&GeodeticTexts::edSZ, "edSZ", "Z Shift"},
    {&GeodeticTexts::edCM, "edCM", "Central Meridian"},
    {&GeodeticTexts::edRL, "edRL", "Reference Latitude"},
    {&GeodeticTexts::edSF, "edSF", "Scale Factor"},
    {&GeodeticTexts::edFE, "edFE", "False Easting"},
    {&GeodeticTexts::edFN, "edFN", "False Northing"},
    {&GeodeticTexts::eLCCSP1, "eLCCSP1", "LCC Standard Parallel 1"},
    {&GeodeticTexts::eLCCSP2, "eLCCSP2", "LCC Standard Parallel 2"},
    {&GeodeticTexts::eLCCSF, "eLCCSF", "LCC Scale Factor"},
    {&GeodeticTexts::eLCCCP, "eLCCCP", "LCC Central Parallel"},
    {&GeodeticTexts::eLCCM, "eLCCM", "LCC Central Meridian"},
    {&GeodeticTexts::eLCCFE, "eLCCFE", "LCC False Easting"},
    {&GeodeticTexts::eLCCFN, "eLCCFN", "LCC False Norhing"},
};

std::optional<GeodeticSnapshot> Refuse(GeodeticRefusal* refusal, const char* control,
                                       const char* caption) {
    if (refusal)
        *refusal = GeodeticRefusal{control, caption};
    return std::nullopt;
}

} // namespace

std::optional<GeodeticSnapshot> GeodeticSnapshot::Take(const GeodeticTexts& texts,
                                                       GeodeticRefusal* refusal) {
    double v[std::size(kFields)];
    for (size_t i = 0; i < std::size(kFields); ++i) {
        if (!ReadFieldNumber(texts.*kFields[i].text, v[i]))
            return Refuse(refusal, kFields[i].control, kFields[i].caption);
    }
    GeodeticSnapshot s;
    s.texts_ = texts;
    s.local_ = {v[0], v[1]};
    if (!(v[0] > 0))
        return Refuse(refusal, "edSMA", "Semi Major Axis");
    if (!(v[1] >= 0 && v[1] < 0.01))
        return Refuse(refusal, "edIF", "Flattening");
    s.datumSet_ = {v[2], v[3], v[4], v[5], v[6], v[7], v[8]};
    s.tm_ = {v[9], v[10], v[11], v[12], v[13]};
    if (!(v[11] > 0))
        return Refuse(refusal, "edSF", "Scale Factor");
    if (!(v[16] > 0))
        return Refuse(refusal, "eLCCSF", "LCC Scale Factor");

    if (texts.UseLcc) {
        const double toRad = geodesy::kDegreesToRadians;
        if (texts.LambertOneParallel) {
            s.lambert_ = {v[0], v[1], v[17] * toRad, v[18] * toRad, v[19], v[20], v[16]};
            LambertConicProjection check;
            if (!check.setUp(s.lambert_))
                return Refuse(refusal, "eLCCCP", "LCC Central Parallel");
        } else {
            const LambertTwoParallelSet two{v[0],         v[1],         v[17] * toRad,
                                            v[18] * toRad, v[14] * toRad, v[15] * toRad,
                                            v[19],         v[20]};
            LambertConicProjection check;
            if (!LambertOneParallelEquivalent(two, s.lambert_) || !check.setUp(s.lambert_))
                return Refuse(refusal, "eLCCSP1", "LCC Standard Parallel 1");
        }
    }
    return s;
}

std::string GeodeticSnapshot::DatumParameterText() const {
    return "6378137.0  0.0033528106647474  0.0  0.0  0.0  0.0  0.0  0.0  0.0 " + texts_.edSMA +
           " " + texts_.edIF + " " + texts_.edPPM + " " + texts_.edRX + " " + texts_.edRY + " " +
           texts_.edRZ + " " + texts_.edSX + " " + texts_.edSY + " " + texts_.edSZ;
}

GridProjector::GridProjector(const GeodeticSnapshot& snapshot)
    : chain_(geodesy::Ellipsoid{}, geodesy::SevenParameters{}, snapshot.localEllipsoid(),
             snapshot.datumSet()),
      tm_(snapshot.localEllipsoid(), snapshot.transverseMercator()),
      ellipsoid_(snapshot.localEllipsoid()),
      centralMeridian_(snapshot.transverseMercator().centralMeridian),
      scaleFactor_(snapshot.transverseMercator().scaleFactor), lambert_(snapshot.usesLambert()) {
    if (lambert_)
        lambertReady_ = lcc_.setUp(snapshot.lambertSet());
}

std::optional<GridPosition> GridProjector::project(double latitude, double longitude,
                                                   double height, int* lambertCode) const {
    if (lambertCode)
        *lambertCode = 0;
    if (!std::isfinite(latitude) || !std::isfinite(longitude) || !std::isfinite(height))
        return std::nullopt;
    geodesy::GeodeticPoint local;
    if (!chain_.toTargetGeodetic({latitude, longitude, lambert_ ? height : 0.0}, local))
        return std::nullopt;
    GridPosition grid;
    if (lambert_) {
        if (!lambertReady_)
            return std::nullopt;
        const double toRad = geodesy::kDegreesToRadians;
        double e = 0, n = 0;
        const int code = lcc_.project(local.latitude * toRad, local.longitude * toRad, e, n);
        if (code != kLambertDone) {
            if (lambertCode)
                *lambertCode = code;
            return std::nullopt;
        }
        grid.Easting = e;
        grid.Northing = n;
        grid.Convergence = LambertGridConvergence(lcc_.coneConstant(), local.longitude * toRad,
                                                  lcc_.parameters().centralMeridian) *
                           geodesy::kRadiansToDegrees;
    } else {
        const auto& tmParameters = tm_;
        if (!tmParameters.project(local.latitude, local.longitude, grid.Easting, grid.Northing))
            return std::nullopt;
        geodesy::ConvergenceAndScale cs;
        if (!geodesy::TransverseMercatorConvergenceAndScale(
                ellipsoid_, local.latitude, local.longitude, centralMeridian_, scaleFactor_, cs))
            return std::nullopt;
        grid.Convergence = cs.convergence;
    }
    if (!std::isfinite(grid.Easting) || !std::isfinite(grid.Northing) ||
        !std::isfinite(grid.Convergence))
        return std::nullopt;
    return grid;
}
