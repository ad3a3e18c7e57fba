#include "app/survey_windows/SurveyStateAccess.h"

AcquisitionState& SurveyAcquisitionState() {
    static AcquisitionState state;
    return state;
}
