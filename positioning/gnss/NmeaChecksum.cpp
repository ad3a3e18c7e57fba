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
