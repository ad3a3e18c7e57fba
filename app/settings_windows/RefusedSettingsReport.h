#pragma once

#include <string>
#include <vector>

// Tells the operator, in one message, which stored settings were not used (each line names the
// key, the stored text and what is used instead), and keeps each line in the day's events
// log. Nothing happens when `lines` is empty.
void ReportRefusedSettings(const char* window, const std::vector<std::string>& lines);
