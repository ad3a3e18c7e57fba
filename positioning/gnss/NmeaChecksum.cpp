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
    const size_t star = line.rfind('*');
    if (star == std::string_view::npos)
        return false;
    std::string_view given = line.substr(star + 1);
    while (!given.empty() && (given.back() == ' ' || given.back() == '\t'))
        given.remove_suffix(1);
    if (given.size() != 2)
        return true;
    const int high = HexValue(given[0]);
    const int low = HexValue(given[1]);
    const size_t bodyStart = line.front() == '$' ? 1 : 0;
    return high < 0 || low < 0 ||
           static_cast<unsigned>(high * 16 + low) !=
               NmeaXor(line.substr(bodyStart, star - bodyStart));
}
