#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The one scanner the program has for scan formats that an operator types (the sounder's line
// format, the sound velocity search string). A format is compiled into a small program of the
// directives below and never handed to the C library: a "%s" or "%n" typed into a settings
// box must not write into the program's memory.
//
// Accepted directives, with the C library's scanning rules for each:
//   literal bytes        must match the line byte for byte
//   blanks               match any run of white space in the line, also none
//   %lf                  a number, assigned in order (at most MaxNumbers of them)
//   %*lf                 a number, skipped
//   %*Ns, %*s            at most N (or any number of) non-blank bytes, skipped
//   %*Nc, %*c            exactly N (or one) bytes, skipped
//   %*N[set], %*[set]    bytes of the set ("^" negates, a leading "]" belongs to it, "a-z"
//                        ranges), skipped
//   %%                   a "%"
// Widths run from 1 to MaxWidth. Anything else is refused with its position and the reason.
//
// A number is an optional sign, digits with an optional '.' and decimals, and an optional
// exponent; the longest such text is read. "nan", "inf", hexadecimal numbers and numbers too
// large for a double end the scan, where the C library would assign them. A scan that ends at
// a number that is not finite says so, for the line is then damaged rather than of another
// kind.
struct ScanFormat {
    static constexpr size_t MaxFormatLength = 256;
    static constexpr int MaxNumbers = 4;
    static constexpr int MaxWidth = 4096;

    enum class Kind : uint8_t {
        Literal,    // text: the bytes to match
        Blanks,     // white space in the format
        Number,     // %lf
        SkipNumber, // %*lf
        SkipString, // %*Ns
        SkipChars,  // %*Nc
        SkipSet,    // %*N[...]
        Percent     // %%
    };
    struct Step {
        Kind kind = Kind::Literal;
        int width = 0;          // 0: no width given
        uint16_t setIndex = 0;  // SkipSet: index into sets
        std::string text;       // Literal
    };

    std::vector<Step> steps;
    std::vector<std::array<bool, 256>> sets;
    int numberCount = 0;
    bool valid = false;
};

// Compiles `format` (at most MaxFormatLength bytes). On refusal the result is not valid and
// `error` says where and why ("position 5: %d is not one of the accepted conversions").
ScanFormat CompileSounderFormat(std::string_view format, std::string& error);

// Scans `line` with a compiled format; returns how many numbers were assigned to `out`
// (room for ScanFormat::MaxNumbers), in order. An invalid format scans nothing. `notFinite`,
// when given, tells whether the scan ended where a number (assigned or skipped) is not finite:
// "nan", "inf" or "infinity" in any case and with any sign ("nan(...)" too), or a number too
// large for a double.
int ScanSounderLine(std::string_view line, const ScanFormat& format, double* out,
                    bool* notFinite = nullptr);

// The same with the format's text, as a line handler calls it: the last formats compiled on
// this thread are kept, so a format is compiled once, not per line.
int ScanSounderLine(std::string_view line, std::string_view format, double* out,
                    bool* notFinite = nullptr);

// A one-line description of what a format reads, for the box that holds it: "reads 2 numbers"
// or the reason it is refused.
std::string DescribeSounderFormat(std::string_view format);
