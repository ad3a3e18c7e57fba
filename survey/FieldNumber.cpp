#include "survey/FieldNumber.h"

#include "platform/NumberText.h"

bool ReadFieldNumber(std::string_view text, double& out) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return ParseNumber(text, out);
}
