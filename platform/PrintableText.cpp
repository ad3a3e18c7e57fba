#include "platform/PrintableText.h"

std::string PrintableText(std::string_view text) {
    std::string printable;
    printable.reserve(text.size());
    for (const char c : text)
        printable += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
    return printable;
}
