#include "drawing_io/DxfText.h"

#include "platform/CodePageCodec.h"

#include <charconv>
#include <cstring>

void TrimBlanks(std::string& s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    size_t e = s.size();
    while (e > 0 && blank(s[e - 1]))
        --e;
    size_t b = 0;
    while (b < e && blank(s[b]))
        ++b;
    s = s.substr(b, e - b);
}

int AciToColor(int index) {
    static constexpr int Fixed[10][3] = {
        {0, 0, 0},   {255, 0, 0},   {255, 255, 0},   {0, 255, 0},     {0, 255, 255},
        {0, 0, 255}, {255, 0, 255}, {255, 255, 255}, {128, 128, 128}, {192, 192, 192}};
    int r = 0;
    int g = 0;
    int b = 0;
    if (index >= 1 && index <= 9) {
        r = Fixed[index][0];
        g = Fixed[index][1];
        b = Fixed[index][2];
    } else if (index >= 10 && index <= 255) {
        r = (17 * index) % 256;
        g = (37 * index) % 256;
        b = (53 * index) % 256;
    } else {
        return -1;
    }
    return r + 256 * g + 65536 * b;
}

std::string StripMTextCodes(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    bool skipping = false;
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        const char c = text[i];
        if (c == '\\' && i + 1 < n) {
            const char code = text[i + 1];
            if (std::strchr("fFHWCAQTSp", code) != nullptr) {
                skipping = true;
                i += 2;
                continue;
            }
            if (code == 'P') {
                if (!skipping)
                    out += ' ';
                i += 2;
                continue;
            }
            if (std::strchr("LlOoKk", code) != nullptr) {
                i += 2;
                continue;
            }
            if (code == '\\') {
                if (!skipping)
                    out += '\\';
                i += 2;
                continue;
            }
            if (code == 'U' && i + 6 < n && text[i + 2] == '+') {
                unsigned value = 0;
                const char* digits = text.data() + i + 3;
                const auto [end, ec] = std::from_chars(digits, digits + 4, value, 16);
                if (ec == std::errc() && end == digits + 4) {
                    if (!skipping)
                        AppendUtf8(static_cast<char32_t>(value), out);
                    i += 7;
                    continue;
                }
            }
        }
        if (skipping) {
            if (c == ';' || c == ' ')
                skipping = false;
            ++i;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}
