#include "positioning/geodesy/LambertModule.h"

#include "positioning/geodesy/LambertConicProjection.h"

namespace {

struct LambertState {
    LambertConicProjection oneParallel;
    LambertTwoParallelSet twoParallel;
    LambertOneParallelSet twoParallelEquivalent;

    LambertState() { LambertOneParallelEquivalent(twoParallel, twoParallelEquivalent); }
};

LambertState& State() {
    static LambertState state;
    return state;
}

} // namespace

double SetLambert1Parameters(double semiMajorAxis, double flattening, double originLatitude,
                             double centralMeridian, double falseEasting, double falseNorthing,
                             double scaleFactor) {
    LambertConicProjection& projection = State().oneParallel;
    projection.setUp({semiMajorAxis, flattening, originLatitude, centralMeridian, falseEasting,
                      falseNorthing, scaleFactor});
    return projection.coneConstant();
}

int GeodeticToLambert1(double latitude, double longitude, double& easting, double& northing) {
    return State().oneParallel.project(latitude, longitude, easting, northing);
}

double SetLambert2Parameters(double semiMajorAxis, double flattening, double originLatitude,
                             double centralMeridian, double firstParallel, double secondParallel,
                             double falseEasting, double falseNorthing) {
    LambertState& state = State();
    const LambertTwoParallelSet set{semiMajorAxis, flattening,     originLatitude, centralMeridian,
                                    firstParallel, secondParallel, falseEasting,   falseNorthing};
    LambertOneParallelSet equivalent;
    if (LambertOneParallelEquivalent(set, equivalent)) {
        state.twoParallel = set;
        state.twoParallelEquivalent = equivalent;
        state.oneParallel.setUp(equivalent);
    }
    return state.oneParallel.coneConstant();
}

int GeodeticToLambert2(double latitude, double longitude, double& easting, double& northing) {
    LambertState& state = State();
    int code = kLambertDone;
    if (!(latitude >= -1.5707963267948966 && latitude <= 1.5707963267948966))
        code |= kLambertLatitudeOutOfRange;
    if (!(longitude >= -3.141592653589793 && longitude <= 2 * 3.141592653589793))
        code |= kLambertLongitudeOutOfRange;
    if (code != kLambertDone)
        return code;
    state.oneParallel.setUp(state.twoParallelEquivalent);
    return state.oneParallel.project(latitude, longitude, easting, northing);
}

void ResetLambertParameters() {
    State() = LambertState();
}
