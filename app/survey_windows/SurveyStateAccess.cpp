#include "app/SurveyStateAccess.h"

AcquisitionState& SurveyAcquisitionState() {
    static AcquisitionState state;
    return state;
}
