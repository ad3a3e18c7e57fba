#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text handling of the KML reader: decoding the document's bytes and cleaning element texts.

// Documents and archive entries larger than this are refused.
constexpr size_t KmlMaxBytes = size_t(512) * 1024 * 1024;

// The document's bytes as UTF-8: a UTF-8 byte-order mark is dropped, UTF-16 with a byte-order
// mark converted; without one the bytes are UTF-8 when valid (XML's default), else cp1254.
std::string DecodeKmlBytes(std::string_view bytes);
// The same, reusing the bytes' own storage where they are already UTF-8 (a whole document is
// then never held twice).
std::string DecodeOwnedKmlBytes(std::string&& bytes);

// The text of a name or description element as a label shows it: CDATA unwrapped, the five
// predefined entities and numeric character references decoded, runs of CR, LF and TAB made
// one blank, then trimmed of everything at or below the blank.
std::string KmlElementText(std::string_view raw);

// ASCII letters lowered (file names and extensions, whatever the locale).
std::string KmlLowerAscii(std::string_view text);

// Trims every character with a code of 32 or less from both ends.
std::string_view TrimKmlText(std::string_view text);

// Tag search that accepts a namespace prefix ("<kml:Point>") and attributes
// ("<Placemark id=\"7\">"). Each returns npos when nothing is found.
struct KmlTagSpan {
    size_t Begin = std::string_view::npos; // the '<'
    size_t End = std::string_view::npos;   // just after the '>'
    bool SelfClosing = false;
};
KmlTagSpan FindKmlOpenTag(std::string_view text, std::string_view name, size_t from);
KmlTagSpan FindKmlCloseTag(std::string_view text, std::string_view name, size_t from);

// The target of the document's first link ("<href>files/track.kml</href>", as in a network
// link), trimmed; empty when it has none.
std::string KmlLinkTarget(std::string_view text);
