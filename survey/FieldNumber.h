#pragma once

#include <string_view>

// A number as an operator types it into a field or a list: the platform's strict conversion
// ('.' only, no nan or inf, nothing after the number) with blanks, tabs and a line end around
// it allowed. `out` is left alone when the text is refused.
bool ReadFieldNumber(std::string_view text, double& out);
