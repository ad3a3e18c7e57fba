#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

// Converts 8-bit texts of files between a Windows code page and UTF-8.
//
// Reading: a text that is valid UTF-8 is taken as UTF-8 (files written by newer programs, or
// plain ASCII); anything else is decoded with the code page, an undecodable byte becoming
// U+FFFD. Writing: characters the code page holds become its bytes, the others the escape
// "\U+XXXX" that CAD programs read back as the character.
//
// The code page is named as iconv names it ("CP1254") or as DXF headers do ("ANSI_1254"). The
// program stands cp1254 in for "the system code page" of the files it shares with the survey
// office. A name iconv does not know falls back to cp1254.
class CodePageCodec {
public:
    static constexpr const char* SystemCodePage = "CP1254";

    explicit CodePageCodec(std::string_view codePage = SystemCodePage);
    ~CodePageCodec();
    CodePageCodec(const CodePageCodec&) = delete;
    CodePageCodec& operator=(const CodePageCodec&) = delete;

    // "ANSI_1252" -> "CP1252"; other names unchanged.
    static std::string IconvName(std::string_view codePage);
    static bool IsValidUtf8(std::string_view bytes);

    // The iconv name in use (the fallback when the requested one was unknown).
    const std::string& CodePage() const { return CodePage_; }

    std::string ToUtf8(std::string_view bytes) const;
    std::string FromUtf8(std::string_view utf8) const;

private:
    // Encodes one code point; false when the code page has no byte for it.
    bool EncodeCodePoint(char32_t codePoint, std::string& out) const;

    std::string CodePage_;
    iconv_t Decoder_ = reinterpret_cast<iconv_t>(-1);
    iconv_t Encoder_ = reinterpret_cast<iconv_t>(-1);
};

// Appends the UTF-8 bytes of a code point (U+FFFD for one that is not a character).
void AppendUtf8(char32_t codePoint, std::string& out);
