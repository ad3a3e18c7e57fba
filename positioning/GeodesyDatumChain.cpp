#include "positioning/GeodesyDatumChain.h"

#include "positioning/GeodesyMatrix.h"

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

// The inverse by the same in-place sweep the text interface uses, in extended precision.
Matrix3 Invert(const Matrix3& m) {
    GeodesyMatrix work = MatrixAllocate(3, 3);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            work[i][j] = m[static_cast<size_t>(i * 3 + j)];
    }
    MatrixInverse(work, 3);
    Matrix3 inverse{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            inverse[static_cast<size_t>(i * 3 + j)] = static_cast<double>(work[i][j]);
    }
    MatrixFree(work, 3);
    return inverse;
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
    reverse_ = Invert(ScaledRotationMatrix(reverseSet));
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
