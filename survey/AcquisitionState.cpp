#include "survey/AcquisitionState.h"

AcquisitionState Acquisition;
