#include "canvas/MapDisplaySettings.h"

std::string OverlayStatusText;
int CurrentFixQuality = 0;

bool ShowDepthLabels = true;
double DepthLabelSpacing = 10.0;
std::string DepthLabelFontName;
int DepthLabelFontSize = 12;
uint32_t DepthLabelColor = 0;

int EventLabelFontSize = 24;
uint32_t EventLabelColor = 0x0000FF;
int OverlayFontSize = 40;
uint32_t OverlayDepthColor = 0x800000;
uint32_t OverlaySpeedColor = 0;
