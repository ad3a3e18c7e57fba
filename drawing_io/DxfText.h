#pragma once

#include <string>

// Small text and colour rules of the DXF reader.

// Removes spaces, tabs and carriage returns from both ends, in place; inner blanks stay.
void TrimBlanks(std::string& s);

// Colour of a DXF colour number as 0x00BBGGRR, or -1 for a number that gives no colour
// (0 "by block", 256 "by layer", negative "layer off", above 256). Numbers 10 to 255 follow a
// formula of their own, not the published CAD palette: drawings made with this program have
// always shown them so.
int AciToColor(int index);

// The text with the inline formatting codes of multi-line texts removed, on UTF-8 text:
// - "\P" (paragraph) becomes one blank;
// - "\L", "\l", "\O", "\o", "\K", "\k" (under-, over-line and strike on and off) are dropped;
// - "\U+XXXX" becomes its character;
// - "\\" becomes one backslash;
// - "\f", "\F", "\H", "\W", "\C", "\A", "\Q", "\T", "\S", "\p" run up to and including the
//   next ';' or blank (their argument);
// - anything else, braces included, stays as it is.
std::string StripMTextCodes(const std::string& text);
