#include "positioning/geodesy/GeodesyTransverseMercator.h"

#include <cmath>

namespace geodesy {

namespace {

bool AllFinite(const TransverseMercatorParameters& p) {
    return std::isfinite(p.centralMeridian) && std::isfinite(p.referenceLatitude) &&
           std::isfinite(p.scaleFactor) && std::isfinite(p.falseEasting) &&
           std::isfinite(p.falseNorthing);
}

} // namespace

GeodesyTransverseMercator::GeodesyTransverseMercator(const Ellipsoid& ellipsoid,
                                                     const TransverseMercatorParameters& parameters)
    : ellipsoid_(ellipsoid), parameters_(parameters) {
    if (!IsUsableEllipsoid(ellipsoid) || !AllFinite(parameters))
        return;
    e2_ = SquaredEccentricity(ellipsoid.flattening);
    ep2_ = e2_ / (1.0 - e2_);
    const double e4 = e2_ * e2_;
    const double e6 = e4 * e2_;
    c0_ = 1.0 - e2_ / 4.0 - 3.0 * e4 / 64.0 - 5.0 * e6 / 256.0;
    c2_ = 3.0 * e2_ / 8.0 + 3.0 * e4 / 32.0 + 45.0 * e6 / 1024.0;
    c4_ = 15.0 * e4 / 256.0 + 45.0 * e6 / 1024.0;
    c6_ = 35.0 * e6 / 3072.0;
    const double phi0 = parameters.referenceLatitude * kDegreesToRadians;
    m0_ = ellipsoid.semiMajorAxis * meridianArc(phi0, std::sin(phi0), std::cos(phi0));
    usable_ = std::isfinite(m0_);
}

double GeodesyTransverseMercator::meridianArc(double phi, double sinPhi, double cosPhi) const {
    // sin 2x, sin 4x and sin 6x from sin x and cos x: three fewer calls per point.
    const double sin2 = 2.0 * sinPhi * cosPhi;
    const double cos2 = (cosPhi - sinPhi) * (cosPhi + sinPhi);
    const double sin4 = 2.0 * sin2 * cos2;
    const double cos4 = (cos2 - sin2) * (cos2 + sin2);
    const double sin6 = sin4 * cos2 + cos4 * sin2;
    return c0_ * phi - c2_ * sin2 + c4_ * sin4 - c6_ * sin6;
}

bool GeodesyTransverseMercator::project(double latitude, double longitude, double& easting,
                                        double& northing) const {
    if (!usable_ || !std::isfinite(latitude) || !std::isfinite(longitude) ||
        std::fabs(latitude) > 90.0)
        return false;
    const double a = ellipsoid_.semiMajorAxis;
    const double phi = latitude * kDegreesToRadians;
    const double sinPhi = std::sin(phi), cosPhi = std::cos(phi);
    const double tanPhi = sinPhi / cosPhi;
    const double t = tanPhi * tanPhi;
    const double c = e2_ * cosPhi * cosPhi / (1.0 - e2_);
    const double dLambda =
        WrapLongitudeDifference(longitude - parameters_.centralMeridian) * kDegreesToRadians;
    const double aa = cosPhi * dLambda;
    const double n = a / std::sqrt(1.0 - e2_ * sinPhi * sinPhi);
    const double m = a * meridianArc(phi, sinPhi, cosPhi);

    const double a2 = aa * aa;
    const double a3 = a2 * aa;
    const double a4 = a2 * a2;
    const double a5 = a4 * aa;
    const double a6 = a3 * a3;
    const double k0 = parameters_.scaleFactor;
    const double e = parameters_.falseEasting +
                     k0 * n *
                         (aa + (1.0 - t + c) * a3 / 6.0 +
                          (5.0 - 18.0 * t + t * t + 72.0 * c - 58.0 * ep2_) * a5 / 120.0);
    const double north =
        parameters_.falseNorthing +
        k0 * (m - m0_ +
              n * tanPhi *
                  (a2 / 2.0 + (5.0 - t + 9.0 * c + 4.0 * c * c) * a4 / 24.0 +
                   (61.0 - 58.0 * t + t * t + 600.0 * c - 330.0 * ep2_) * a6 / 720.0));
    if (!std::isfinite(e) || !std::isfinite(north))
        return false;
    easting = e;
    northing = north;
    return true;
}

bool TransverseMercatorConvergenceAndScale(const Ellipsoid& ellipsoid, double latitude,
                                           double longitude, double centralMeridian,
                                           double scaleFactor, ConvergenceAndScale& out) {
    if (!IsUsableEllipsoid(ellipsoid) || !std::isfinite(latitude) || !std::isfinite(longitude) ||
        !std::isfinite(centralMeridian) || !std::isfinite(scaleFactor) ||
        std::fabs(latitude) > 90.0)
        return false;
    const double phi = latitude * kDegreesToRadians;
    const double omega = WrapLongitudeDifference(longitude - centralMeridian) * kDegreesToRadians;
    const double a = ellipsoid.semiMajorAxis;
    const double e2 = SquaredEccentricity(ellipsoid.flattening);
    const double sinPhi = std::sin(phi), cosPhi = std::cos(phi);
    const double w = 1.0 - e2 * sinPhi * sinPhi;
    const double rho = a * (1.0 - e2) / (w * std::sqrt(w));
    const double nu = a / std::sqrt(w);
    const double psi = nu / rho;
    const double t = sinPhi / cosPhi;
    const double t2 = t * t;
    const double t4 = t2 * t2;
    const double psi2 = psi * psi;
    const double psi3 = psi2 * psi;
    const double psi4 = psi2 * psi2;
    const double cos2 = cosPhi * cosPhi;
    const double cos4 = cos2 * cos2;
    const double cos6 = cos4 * cos2;
    const double w2 = omega * omega;
    const double w3 = w2 * omega;
    const double w4 = w2 * w2;
    const double w5 = w4 * omega;
    const double w6 = w3 * w3;
    const double w7 = w6 * omega;

    const double gamma = -omega * sinPhi - (w3 / 3.0) * sinPhi * cos2 * (2.0 * psi2 - psi) -
                         (w5 / 15.0) * sinPhi * cos4 *
                             (psi4 * (11.0 - 24.0 * t2) - psi3 * (11.0 - 36.0 * t2) +
                              2.0 * psi2 * (1.0 - 7.0 * t2) + psi * t2) -
                         (w7 / 315.0) * sinPhi * cos6 * (17.0 - 26.0 * t2 + 2.0 * t4);
    const double k =
        scaleFactor *
        (1.0 + (w2 / 2.0) * psi * cos2 +
         (w4 / 24.0) * cos4 *
             (4.0 * psi3 * (1.0 - 6.0 * t2) + psi2 * (1.0 + 24.0 * t2) - 4.0 * psi * t2) +
         (w6 / 720.0) * cos6 * (61.0 - 148.0 * t2 + 16.0 * t4));
    const double convergence = gamma * 180.0 / kPi;
    if (!std::isfinite(convergence) || !std::isfinite(k))
        return false;
    out.convergence = convergence;
    out.scale = k;
    return true;
}

} // namespace geodesy
