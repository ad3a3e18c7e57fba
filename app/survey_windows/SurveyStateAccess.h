#pragma once

#include "survey/AcquisitionState.h"

// The acquisition state the set-up, realtime and echogram windows read and write: whether a
// survey runs, the sounder's ticks, the newest depth and the echogram flags. One place, so
// that these windows follow whoever owns the state.
AcquisitionState& SurveyAcquisitionState();
