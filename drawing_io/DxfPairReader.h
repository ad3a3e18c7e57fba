#pragma once

#include "drawing_io/DrawingLineLimit.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Reads the group-code/value pairs of an ASCII DXF file, from a file descriptor or from memory,
// without ever holding the whole file. From a descriptor it reads ReadChunkBytes at a time into
// a buffer of StartBufferBytes that doubles only while a line does not fit, up to the room the
// longest line allowed needs: the usual file of short lines costs a small buffer, however high
// the line limit.
//
// Lines end in LF, CR LF or a lone CR; each is trimmed with TrimBlanks. A UTF-8 byte-order
// mark at the very start is skipped. A line longer than MaxLineLength stops the reading
// (a file of one endless line must not grow a buffer without bound); it is the limit of every
// drawing file, so that the program's own export of any text it saves reads back.
class DxfPairReader {
public:
    static constexpr size_t MaxLineLength = DrawingFileMaxLineBytes;
    static constexpr size_t ReadChunkBytes = size_t(64) << 10;
    static constexpr size_t StartBufferBytes = 2 * ReadChunkBytes;

    enum class State { Reading, End, LineTooLong, ReadError };

    // Reads from `fd` (not owned; the caller closes it).
    explicit DxfPairReader(int fd);
    // Reads `bytes`, which must outlive the reader.
    explicit DxfPairReader(std::string_view bytes);
    DxfPairReader(const DxfPairReader&) = delete;
    DxfPairReader& operator=(const DxfPairReader&) = delete;

    // True when the content starts with the binary DXF sentinel. Looks at the first line only;
    // call before reading.
    bool IsBinaryDxf();

    // The next line, trimmed; false at the end of the file or on an error (see GetState). The
    // view stays valid until the next read.
    bool ReadLine(std::string_view& line);
    // The next pair: the code line converted leniently (a code line that is not a number gives
    // -1, which no record uses) and the value line, trimmed. False when either line cannot be
    // read.
    bool ReadPair();

    int Code() const { return Code_; }
    std::string_view Value() const { return Value_; }
    // The value line as the file has it, blanks at its ends included.
    std::string_view RawValue() const { return RawValue_; }
    State GetState() const { return State_; }
    // Number of the last line read, from 1.
    int64_t LineNumber() const { return LineNumber_; }
    // Bytes held for reading a descriptor: StartBufferBytes until a line needs more. A reader
    // of memory holds none.
    size_t BufferBytes() const { return Storage_.size(); }

private:
    // Makes room and reads more bytes; false when nothing more comes.
    bool Fill();
    // Doubles the buffer, up to the room the longest line needs; false when it is that big.
    bool Grow();

    int Fd_ = -1;
    std::vector<char> Storage_;
    const char* Data_ = nullptr;
    size_t Begin_ = 0;
    size_t End_ = 0;
    bool SourceDone_ = false;
    bool StartChecked_ = false;
    State State_ = State::Reading;
    int64_t LineNumber_ = 0;
    int Code_ = -1;
    std::string_view Value_;
    std::string_view RawLine_;
    std::string_view RawValue_;
};

// Lenient numbers as DXF readers take them: leading blanks skipped, an optional sign, the
// digits (for reals a decimal point and an exponent) up to the first character that does not
// fit; a text that does not start with a number gives `fallback` / 0.
int DxfInteger(std::string_view text, int fallback = 0);
// `finite` becomes false for "nan", "inf" and values beyond the range of double; those give 0.
double DxfReal(std::string_view text, bool& finite);
