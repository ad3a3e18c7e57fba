#include "platform/CodePageCodec.h"

#include <cerrno>
#include <cstdio>

namespace {

const iconv_t NoConverter = reinterpret_cast<iconv_t>(-1);

// Length of the UTF-8 sequence starting at `i` and its code point; 0 when it is not valid
// (overlong forms, surrogates and values past U+10FFFF included).
size_t DecodeUtf8At(std::string_view s, size_t i, char32_t& codePoint) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > s.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    codePoint = value;
    return length;
}

bool IsAscii(std::string_view s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

void AppendUtf8(char32_t cp, std::string& out) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string CodePageCodec::IconvName(std::string_view codePage) {
    std::string name(codePage);
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    if (name.rfind("ANSI_", 0) == 0)
        return "CP" + name.substr(5);
    return name;
}

bool CodePageCodec::IsValidUtf8(std::string_view bytes) {
    char32_t codePoint = 0;
    for (size_t i = 0; i < bytes.size();) {
        const size_t length = DecodeUtf8At(bytes, i, codePoint);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

CodePageCodec::CodePageCodec(std::string_view codePage) : CodePage_(IconvName(codePage)) {
    Decoder_ = iconv_open("UTF-8", CodePage_.c_str());
    Encoder_ = iconv_open(CodePage_.c_str(), "UTF-8");
    if (Decoder_ == NoConverter || Encoder_ == NoConverter) {
        if (Decoder_ != NoConverter)
            iconv_close(Decoder_);
        if (Encoder_ != NoConverter)
            iconv_close(Encoder_);
        CodePage_ = SystemCodePage;
        Decoder_ = iconv_open("UTF-8", CodePage_.c_str());
        Encoder_ = iconv_open(CodePage_.c_str(), "UTF-8");
    }
}

CodePageCodec::~CodePageCodec() {
    if (Decoder_ != NoConverter)
        iconv_close(Decoder_);
    if (Encoder_ != NoConverter)
        iconv_close(Encoder_);
}

std::string CodePageCodec::ToUtf8(std::string_view bytes) const {
    if (IsAscii(bytes) || IsValidUtf8(bytes))
        return std::string(bytes);
    std::string out;
    if (Decoder_ == NoConverter) {
        for (const char c : bytes)
            AppendUtf8(
                static_cast<unsigned char>(c) < 0x80 ? static_cast<unsigned char>(c) : 0xFFFD, out);
        return out;
    }
    iconv(Decoder_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t done = iconv(Decoder_, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (done != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;
        // An invalid or cut-off sequence: one replacement character per byte skipped.
        AppendUtf8(0xFFFD, out);
        ++in;
        --inLeft;
        iconv(Decoder_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

bool CodePageCodec::EncodeCodePoint(char32_t codePoint, std::string& out) const {
    if (Encoder_ == NoConverter)
        return false;
    std::string utf8;
    AppendUtf8(codePoint, utf8);
    iconv(Encoder_, nullptr, nullptr, nullptr, nullptr);
    char* in = utf8.data();
    size_t inLeft = utf8.size();
    char buffer[16];
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    if (iconv(Encoder_, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
        return false;
    // Stateful encodings may need a closing shift sequence.
    if (iconv(Encoder_, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1))
        return false;
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    return true;
}

std::string CodePageCodec::FromUtf8(std::string_view utf8) const {
    if (IsAscii(utf8))
        return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    char32_t codePoint = 0;
    for (size_t i = 0; i < utf8.size();) {
        size_t length = DecodeUtf8At(utf8, i, codePoint);
        if (length == 0) {
            out += '?';
            ++i;
            continue;
        }
        i += length;
        if (codePoint < 0x80) {
            out += static_cast<char>(codePoint);
        } else if (!EncodeCodePoint(codePoint, out)) {
            if (codePoint > 0xFFFF) {
                // The escape carries four hex digits only.
                out += '?';
            } else {
                char escape[12];
                std::snprintf(escape, sizeof escape, "\\U+%04X", static_cast<unsigned>(codePoint));
                out += escape;
            }
        }
    }
    return out;
}
