#include "positioning/geodesy/LambertConicProjection.h"

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kQuarterPi = 0.7853981633974483;

double M(double x, double e) {
    const double es = e * std::sin(x);
    return std::cos(x) / std::sqrt(1.0 - es * es);
}

double T(double x, double e) {
    const double es = e * std::sin(x);
    return std::tan(kQuarterPi - x / 2.0) / std::pow((1.0 - es) / (1.0 + es), e / 2.0);
}

bool UsableEllipsoid(double a, double f) {
    if (!std::isfinite(a) || !std::isfinite(f) || a <= 0)
        return false;
    const double inverse = 1.0 / f;
    return inverse >= 250.0 && inverse <= 350.0;
}

bool WithinLatitudeLimit(double latitude) {
    return std::isfinite(latitude) && latitude >= -kLambertLatitudeLimit &&
           latitude <= kLambertLatitudeLimit;
}

bool UsableCentralMeridian(double centralMeridian) {
    return std::isfinite(centralMeridian) && centralMeridian >= -kPi && centralMeridian <= 2 * kPi;
}

bool UsableOneParallelSet(const LambertOneParallelSet& s) {
    return UsableEllipsoid(s.semiMajorAxis, s.flattening) &&
           WithinLatitudeLimit(s.originLatitude) && s.originLatitude != 0 &&
           UsableCentralMeridian(s.centralMeridian) && std::isfinite(s.falseEasting) &&
           std::isfinite(s.falseNorthing) && std::isfinite(s.scaleFactor) && s.scaleFactor >= 0.3 &&
           s.scaleFactor <= 3.0;
}

} // namespace

LambertConicProjection::LambertConicProjection() {
    setUp(LambertOneParallelSet{});
}

bool LambertConicProjection::setUp(const LambertOneParallelSet& set) {
    if (!UsableOneParallelSet(set))
        return false;
    set_ = set;
    if (set_.centralMeridian > kPi)
        set_.centralMeridian -= 2 * kPi;
    const double f = set_.flattening;
    e_ = std::sqrt(2 * f - f * f);
    n_ = std::sin(set_.originLatitude);
    t0_ = T(set_.originLatitude, e_);
    rho0_ = set_.semiMajorAxis * set_.scaleFactor * M(set_.originLatitude, e_) / n_;
    rhoOrigin_ = rho0_;
    return true;
}

int LambertConicProjection::project(double latitude, double longitude, double& easting,
                                    double& northing) const {
    int code = kLambertDone;
    // Written so that a value that is not a number fails the test too.
    if (!(latitude >= -kHalfPi && latitude <= kHalfPi))
        code |= kLambertLatitudeOutOfRange;
    if (!(longitude >= -kPi && longitude <= 2 * kPi))
        code |= kLambertLongitudeOutOfRange;
    if (code != kLambertDone)
        return code;

    double rho = 0;
    if (std::fabs(std::fabs(latitude) - kHalfPi) > 1e-10) {
        rho = rho0_ * std::pow(T(latitude, e_) / t0_, n_);
    } else if (latitude * n_ <= 0) {
        return kLambertLatitudeOutOfRange; // the pole away from the cone's apex
    }
    double dLambda = longitude - set_.centralMeridian;
    if (dLambda > kPi)
        dLambda -= 2 * kPi;
    if (dLambda < -kPi)
        dLambda += 2 * kPi;
    const double theta = n_ * dLambda;
    const double e = rho * std::sin(theta) + set_.falseEasting;
    const double n = rhoOrigin_ - rho * std::cos(theta) + set_.falseNorthing;
    if (!std::isfinite(e) || !std::isfinite(n))
        return kLambertLatitudeOutOfRange;
    easting = e;
    northing = n;
    return kLambertDone;
}

bool LambertOneParallelEquivalent(const LambertTwoParallelSet& s, LambertOneParallelSet& out) {
    if (!UsableEllipsoid(s.semiMajorAxis, s.flattening) || !WithinLatitudeLimit(s.originLatitude) ||
        !WithinLatitudeLimit(s.firstParallel) || !WithinLatitudeLimit(s.secondParallel) ||
        (s.firstParallel == 0 && s.secondParallel == 0) || s.firstParallel == -s.secondParallel ||
        !UsableCentralMeridian(s.centralMeridian) || !std::isfinite(s.falseEasting) ||
        !std::isfinite(s.falseNorthing))
        return false;
    LambertOneParallelSet equivalent;
    equivalent.semiMajorAxis = s.semiMajorAxis;
    equivalent.flattening = s.flattening;
    equivalent.centralMeridian = s.centralMeridian;
    equivalent.falseEasting = s.falseEasting;
    if (std::fabs(s.firstParallel - s.secondParallel) > 1e-10) {
        const double f = s.flattening;
        const double e = std::sqrt(2 * f - f * f);
        const double m1 = M(s.firstParallel, e), t1 = T(s.firstParallel, e);
        const double m2 = M(s.secondParallel, e), t2 = T(s.secondParallel, e);
        const double tOrigin = T(s.originLatitude, e);
        const double n = std::log(m1 / m2) / std::log(t1 / t2);
        const double phi0 = std::asin(n);
        const double t0 = T(phi0, e);
        const double aF = s.semiMajorAxis * m2 / (n * std::pow(t2, n));
        equivalent.originLatitude = phi0;
        equivalent.scaleFactor = (m1 / M(phi0, e)) * std::pow(t0 / t1, n);
        equivalent.falseNorthing =
            aF * std::pow(tOrigin, n) - aF * std::pow(t0, n) + s.falseNorthing;
    } else {
        equivalent.originLatitude = s.firstParallel;
        equivalent.scaleFactor = 1.0;
        equivalent.falseNorthing = s.falseNorthing;
    }
    // A set whose equivalent could not be taken would leave the projection on older
    // parameters while reporting the new ones: refuse it as a whole.
    if (!UsableOneParallelSet(equivalent))
        return false;
    out = equivalent;
    return true;
}

double LambertGridConvergence(double coneConstant, double longitude, double centralMeridian) {
    double difference = longitude - centralMeridian;
    if (difference < -kPi || difference >= kPi)
        difference -= 2 * kPi * std::floor((difference + kPi) / (2 * kPi));
    if (difference >= kPi)
        difference -= 2 * kPi;
    return -coneConstant * difference;
}
