#pragma once

#include "positioning/geodesy/GeodesyCore.h"

namespace geodesy {

// The datum change of every position: geodetic on the source ellipsoid to ECEF, the first
// seven-parameter set applied forward, the second set applied in reverse (exactly, through the
// inverse of its scaled rotation matrix), and back to geodetic on the target ellipsoid:
//     X_target = (s2 R2)^-1 (s1 R1 X_source + T1 - T2).
// The second set is that of the transformation from the target (local) datum to the source
// datum, which is how local datums publish their parameters. Matrices are prepared once here
// (the inverse of s2 R2 as R2 transposed over s2, exact for any rotation);
// a chain is immutable and may be shared between threads.
class GeodesyDatumChain {
public:
    GeodesyDatumChain(const Ellipsoid& source, const SevenParameters& forwardSet,
                      const Ellipsoid& target, const SevenParameters& reverseSet);

    // False when an ellipsoid is unusable, a value is not finite or the reverse set scales by
    // zero; every conversion then fails.
    bool isUsable() const { return usable_; }

    const Ellipsoid& source() const { return source_; }
    const Ellipsoid& target() const { return target_; }

    // ECEF on the source datum to ECEF on the target datum.
    EcefPoint transformEcef(const EcefPoint& sourcePoint) const;

    // Geodetic to ECEF on the target datum; false for an unusable chain, a latitude outside
    // +-90 degrees or a non-finite value.
    bool toTargetEcef(const GeodeticPoint& sourcePoint, EcefPoint& out) const;

    // Geodetic to geodetic on the target ellipsoid; false as above or when the ECEF point has
    // no geodetic position (see EcefToGeodeticPoint).
    bool toTargetGeodetic(const GeodeticPoint& sourcePoint, GeodeticPoint& out) const;

private:
    Ellipsoid source_;
    Ellipsoid target_;
    Matrix3 forward_{};        // s1 R1
    double forwardShift_[3]{}; // T1
    Matrix3 reverse_{};        // (s2 R2)^-1
    double reverseShift_[3]{}; // T2
    bool usable_ = false;
};

} // namespace geodesy
