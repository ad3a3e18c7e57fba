#pragma once

#include <QString>

#include <string>
#include <string_view>

// Names and texts in the project file are UTF-8. A field that is not valid UTF-8 comes from
// an older 8-bit file and is read as Windows-1254, the Turkish code page.

// `bytes` as UTF-8 when valid, else as Windows-1254; a carriage return inside the field reads
// as the blank the writer would put for it.
QString DecodeFileText(std::string_view bytes);

// One field for a record that runs to the end of its line: UTF-8, with every carriage return
// and line feed written as a blank, since either would split the record.
void AppendFileText(std::string& out, const QString& text);
