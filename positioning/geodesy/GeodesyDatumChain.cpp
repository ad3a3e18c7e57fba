#include "positioning/geodesy/GeodesyDatumChain.h"

#include <cmath>

namespace geodesy {

namespace {

bool AllFinite(const Matrix3& m) {
    for (double v : m) {
        if (!std::isfinite(v))
            return false;
    }
    return true;
}

// The inverse of s R is R transposed divided by s: R is a product of exact rotations and
// therefore orthogonal. Exact for any rotation, where an elimination without row exchanges
// would meet a zero pivot at 90 degrees.
Matrix3 InverseOfScaledRotation(const SevenParameters& set) {
    SevenParameters unscaled = set;
    unscaled.scalePpm = 0;
    const Matrix3 r = ScaledRotationMatrix(unscaled);
    const double s = 1.0 + set.scalePpm * 1e-6;
    return {r[0] / s, r[3] / s, r[6] / s, r[1] / s, r[4] / s,
            r[7] / s, r[2] / s, r[5] / s, r[8] / s};
}

} // namespace

GeodesyDatumChain::GeodesyDatumChain(const Ellipsoid& source, const SevenParameters& forwardSet,
                                     const Ellipsoid& target, const SevenParameters& reverseSet)
    : source_(source), target_(target) {
    if (!IsUsableEllipsoid(source) || !IsUsableEllipsoid(target) || !IsFiniteSet(forwardSet) ||
        !IsFiniteSet(reverseSet))
        return;
    forward_ = ScaledRotationMatrix(forwardSet);
    forwardShift_[0] = forwardSet.shiftX;
    forwardShift_[1] = forwardSet.shiftY;
    forwardShift_[2] = forwardSet.shiftZ;
    reverse_ = InverseOfScaledRotation(reverseSet);
    reverseShift_[0] = reverseSet.shiftX;
    reverseShift_[1] = reverseSet.shiftY;
    reverseShift_[2] = reverseSet.shiftZ;
    usable_ = AllFinite(forward_) && AllFinite(reverse_);
}

EcefPoint GeodesyDatumChain::transformEcef(const EcefPoint& p) const {
    const Matrix3& f = forward_;
    const double x = f[0] * p.x + f[1] * p.y + f[2] * p.z + forwardShift_[0] - reverseShift_[0];
    const double y = f[3] * p.x + f[4] * p.y + f[5] * p.z + forwardShift_[1] - reverseShift_[1];
    const double z = f[6] * p.x + f[7] * p.y + f[8] * p.z + forwardShift_[2] - reverseShift_[2];
    const Matrix3& r = reverse_;
    return {r[0] * x + r[1] * y + r[2] * z, r[3] * x + r[4] * y + r[5] * z,
            r[6] * x + r[7] * y + r[8] * z};
}

bool GeodesyDatumChain::toTargetEcef(const GeodeticPoint& sourcePoint, EcefPoint& out) const {
    if (!usable_ || !std::isfinite(sourcePoint.latitude) || !std::isfinite(sourcePoint.longitude) ||
        !std::isfinite(sourcePoint.height) || std::fabs(sourcePoint.latitude) > 90.0)
        return false;
    const EcefPoint result = transformEcef(GeodeticToEcefPoint(sourcePoint, source_));
    if (!std::isfinite(result.x) || !std::isfinite(result.y) || !std::isfinite(result.z))
        return false;
    out = result;
    return true;
}

bool GeodesyDatumChain::toTargetGeodetic(const GeodeticPoint& sourcePoint,
                                         GeodeticPoint& out) const {
    EcefPoint ecef;
    return toTargetEcef(sourcePoint, ecef) && EcefToGeodeticPoint(ecef, target_, out);
}

} // namespace geodesy
