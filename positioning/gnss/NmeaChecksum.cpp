#include "positioning/gnss/NmeaChecksum.h"

unsigned NmeaXor(std::string_view body) {
    unsigned sum = 0;
    for (const char c : body)
        sum ^= static_cast<unsigned char>(c);
    return sum;
}

std::string NmeaChecksum(std::string_view body) {
    const unsigned sum = NmeaXor(body);
    static constexpr char Digits[] = "0123456789ABCDEF";
    return {Digits[(sum >> 4) & 0xF], Digits[sum & 0xF]};
}

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

bool NmeaChecksumWrong(std::string_view line) {
    const size_t star = line.find('*');
    if (star == std::string_view::npos)
        return false;
    const size_t bodyStart = (!line.empty() && line.front() == '$') ? 1 : 0;
    const std::string_view given = line.substr(star + 1);
    const int high = given.size() == 2 ? HexValue(given[0]) : -1;
    const int low = given.size() == 2 ? HexValue(given[1]) : -1;
    return star < bodyStart || high < 0 || low < 0 ||
           static_cast<unsigned>(high * 16 + low) != NmeaXor(line.substr(bodyStart, star - bodyStart));
}

bool NmeaTrailingChecksumWrong(std::string_view line) {
    if (line.size() < 3)
        return false;
    const size_t star = line.size() - 3;
    const int high = HexValue(line[star + 1]);
    const int low = HexValue(line[star + 2]);
    if (line[star] != '*' || high < 0 || low < 0)
        return false;
    const size_t bodyStart = line.front() == '$' ? 1 : 0;
    if (star < bodyStart)
        return false;
    return static_cast<unsigned>(high * 16 + low) !=
           NmeaXor(line.substr(bodyStart, star - bodyStart));
}
