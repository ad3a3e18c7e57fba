#include "positioning/geodesy/GeodesyCore.h"

#include <cmath>

namespace geodesy {

bool IsUsableEllipsoid(const Ellipsoid& ellipsoid) {
    return std::isfinite(ellipsoid.semiMajorAxis) && ellipsoid.semiMajorAxis > 0 &&
           std::isfinite(ellipsoid.flattening) && ellipsoid.flattening >= 0 &&
           ellipsoid.flattening < 0.01;
}

bool IsFiniteSet(const SevenParameters& p) {
    return std::isfinite(p.scalePpm) && std::isfinite(p.rotationX) && std::isfinite(p.rotationY) &&
           std::isfinite(p.rotationZ) && std::isfinite(p.shiftX) && std::isfinite(p.shiftY) &&
           std::isfinite(p.shiftZ);
}

double SquaredEccentricity(double flattening) {
    return (2.0 - flattening) * flattening;
}

double WrapLongitudeDifference(double degrees) {
    if (degrees >= -180.0 && degrees < 180.0)
        return degrees;
    const double wrapped = degrees - 360.0 * std::floor((degrees + 180.0) / 360.0);
    // Rounding can leave exactly 180 for a difference a hair below it.
    return wrapped >= 180.0 ? wrapped - 360.0 : wrapped;
}

Matrix3 ScaledRotationMatrix(const SevenParameters& p) {
    const double arcSecond = kDegreesToRadians / 3600.0;
    const double rx = p.rotationX * arcSecond;
    const double ry = p.rotationY * arcSecond;
    const double rz = p.rotationZ * arcSecond;
    const double sx = std::sin(rx), cx = std::cos(rx);
    const double sy = std::sin(ry), cy = std::cos(ry);
    const double sz = std::sin(rz), cz = std::cos(rz);
    const double s = 1.0 + p.scalePpm * 1e-6;
    return {s * (cy * cz),
            s * (cx * sz + sx * sy * cz),
            s * (sx * sz - cx * sy * cz),
            s * (-cy * sz),
            s * (cx * cz - sx * sy * sz),
            s * (sx * cz + cx * sy * sz),
            s * sy,
            s * (-sx * cy),
            s * (cx * cy)};
}

EcefPoint GeodeticToEcefPoint(const GeodeticPoint& point, const Ellipsoid& ellipsoid) {
    const double e2 = SquaredEccentricity(ellipsoid.flattening);
    const double phi = point.latitude * kDegreesToRadians;
    const double lambda = point.longitude * kDegreesToRadians;
    const double sinPhi = std::sin(phi), cosPhi = std::cos(phi);
    const double n = ellipsoid.semiMajorAxis / std::sqrt(1.0 - sinPhi * sinPhi * e2);
    return {(n + point.height) * cosPhi * std::cos(lambda),
            (n + point.height) * cosPhi * std::sin(lambda),
            ((1.0 - e2) * n + point.height) * sinPhi};
}

bool EcefToGeodeticPoint(const EcefPoint& point, const Ellipsoid& ellipsoid, GeodeticPoint& out) {
    if (!std::isfinite(point.x) || !std::isfinite(point.y) || !std::isfinite(point.z) ||
        !IsUsableEllipsoid(ellipsoid))
        return false;
    const double a = ellipsoid.semiMajorAxis;
    const double e2 = SquaredEccentricity(ellipsoid.flattening);
    const double p = std::sqrt(point.x * point.x + point.y * point.y);

    double phi = 0;
    double previous = 1e-9;
    double h = 0;
    double n = a; // radius of curvature at the latitude of the last pass
    int passes = 0;
    while (std::fabs(phi - previous) > 1e-12) {
        if (++passes > kLatitudePassLimit)
            return false;
        previous = phi;
        // atan2 instead of atan(Z/p / ...): the same latitude wherever the quotient is defined,
        // and +-90 degrees on the polar axis instead of a division by zero.
        const double base = p * (1.0 - e2 * n / (n + h));
        phi = std::atan2(point.z, base);
        // sin and cos of that angle straight from its two legs, without two more calls.
        const double hypotenuse = std::sqrt(base * base + point.z * point.z);
        const double sinPhi = hypotenuse > 0 ? point.z / hypotenuse : 0.0;
        const double cosPhi = hypotenuse > 0 ? base / hypotenuse : 1.0;
        n = a / std::sqrt(1.0 - e2 * sinPhi * sinPhi);
        // Near the poles p / cos(phi) divides two vanishing numbers; Z / sin(phi) gives the same
        // height there without the loss of digits.
        h = std::fabs(cosPhi) >= std::fabs(sinPhi) ? p / cosPhi - n
                                                   : point.z / sinPhi - (1.0 - e2) * n;
    }
    if (!std::isfinite(phi) || !std::isfinite(h) || std::fabs(phi) > kPi / 2)
        return false;
    out.latitude = phi * kRadiansToDegrees;
    out.longitude = std::atan2(point.y, point.x) * kRadiansToDegrees;
    out.height = h;
    return true;
}

} // namespace geodesy
