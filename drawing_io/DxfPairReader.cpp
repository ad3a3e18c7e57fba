#include "drawing_io/DxfPairReader.h"

#include "drawing_io/DxfText.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <unistd.h>

namespace {

// Room for the longest line allowed, its line end and a read behind it: a line one byte over
// the limit is then seen whole and refused.
constexpr size_t LargestBufferBytes = DxfPairReader::MaxLineLength + DxfPairReader::ReadChunkBytes;

std::string_view TrimView(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    size_t b = 0;
    size_t e = s.size();
    while (b < e && blank(s[b]))
        ++b;
    while (e > b && blank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Where the digits of a number start: after leading blanks and one sign.
size_t SkipBlanksAndSign(std::string_view text, bool& negative) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return i;
}

} // namespace

DxfPairReader::DxfPairReader(int fd) : Fd_(fd), Storage_(StartBufferBytes) {
    Data_ = Storage_.data();
}

DxfPairReader::DxfPairReader(std::string_view bytes)
    : Data_(bytes.data()), End_(bytes.size()), SourceDone_(true) {}

bool DxfPairReader::Fill() {
    if (SourceDone_)
        return false;
    if (Begin_ > 0) {
        std::memmove(Storage_.data(), Storage_.data() + Begin_, End_ - Begin_);
        End_ -= Begin_;
        Begin_ = 0;
    }
    if (End_ == Storage_.size() && !Grow())
        return false;
    const size_t wanted = std::min(ReadChunkBytes, Storage_.size() - End_);
    for (;;) {
        const ssize_t n = ::read(Fd_, Storage_.data() + End_, wanted);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            State_ = State::ReadError;
            SourceDone_ = true;
            return false;
        }
        if (n == 0) {
            SourceDone_ = true;
            return false;
        }
        End_ += static_cast<size_t>(n);
        return true;
    }
}

bool DxfPairReader::Grow() {
    if (Storage_.size() >= LargestBufferBytes)
        return false;
    Storage_.resize(std::min(2 * Storage_.size(), LargestBufferBytes));
    Data_ = Storage_.data();
    return true;
}

bool DxfPairReader::IsBinaryDxf() {
    static constexpr std::string_view Sentinel = "AutoCAD Binary DXF";
    while (End_ - Begin_ < Sentinel.size() && Fill()) {
    }
    return std::string_view(Data_ + Begin_, End_ - Begin_).substr(0, Sentinel.size()) == Sentinel;
}

bool DxfPairReader::ReadLine(std::string_view& line) {
    if (State_ != State::Reading)
        return false;
    if (!StartChecked_) {
        StartChecked_ = true;
        while (End_ - Begin_ < 3 && Fill()) {
        }
        if (End_ - Begin_ >= 3 && std::memcmp(Data_ + Begin_, "\xEF\xBB\xBF", 3) == 0)
            Begin_ += 3;
    }
    size_t scanned = Begin_;
    for (;;) {
        const char* p = Data_ + scanned;
        const char* end = Data_ + End_;
        while (p < end && *p != '\n' && *p != '\r')
            ++p;
        const size_t stop = static_cast<size_t>(p - Data_);
        if (stop - Begin_ > MaxLineLength) {
            ++LineNumber_;
            State_ = State::LineTooLong;
            return false;
        }
        // A CR at the end of the buffer may be the first half of CR LF: look further first.
        const bool ended = p < end && !(*p == '\r' && stop + 1 == End_ && !SourceDone_);
        // The last line of a file may lack its line end.
        if (ended || (SourceDone_ && Begin_ < End_)) {
            size_t next = p < end ? stop + 1 : End_;
            if (p < end && *p == '\r' && next < End_ && Data_[next] == '\n')
                ++next;
            RawLine_ = std::string_view(Data_ + Begin_, stop - Begin_);
            line = TrimView(RawLine_);
            Begin_ = next;
            ++LineNumber_;
            return true;
        }
        if (SourceDone_) {
            if (State_ == State::Reading)
                State_ = State::End;
            return false;
        }
        const size_t offset = stop - Begin_;
        const bool filled = Fill();
        if (State_ == State::ReadError)
            return false;
        if (!filled && !SourceDone_) {
            // A full buffer without a line end: cannot happen below the cap, kept for safety.
            State_ = State::LineTooLong;
            return false;
        }
        scanned = Begin_ + offset;
    }
}

bool DxfPairReader::ReadPair() {
    std::string_view line;
    if (!ReadLine(line))
        return false;
    Code_ = DxfInteger(line, -1);
    // The code is converted before the value is read: the value may move the buffer.
    if (!ReadLine(line)) {
        Value_ = {};
        RawValue_ = {};
        return false;
    }
    Value_ = line;
    RawValue_ = RawLine_;
    return true;
}

int DxfInteger(std::string_view text, int fallback) {
    bool negative = false;
    const size_t i = SkipBlanksAndSign(text, negative);
    if (i >= text.size() || !IsDigit(text[i]))
        return fallback;
    long long value = 0;
    const auto [ptr, ec] = std::from_chars(text.data() + i, text.data() + text.size(), value);
    (void)ptr;
    if (ec != std::errc() || value > 2147483647LL)
        return fallback;
    return static_cast<int>(negative ? -value : value);
}

double DxfReal(std::string_view text, bool& finite) {
    bool negative = false;
    const size_t i = SkipBlanksAndSign(text, negative);
    const std::string_view rest = text.substr(i);
    const bool number = !rest.empty() && (IsDigit(rest[0]) ||
                                          (rest[0] == '.' && rest.size() > 1 && IsDigit(rest[1])));
    if (!number) {
        if (!rest.empty() && (rest[0] == 'i' || rest[0] == 'I' || rest[0] == 'n' || rest[0] == 'N'))
            finite = false;
        return 0.0;
    }
    double value = 0.0;
    const auto [ptr, ec] =
        std::from_chars(rest.data(), rest.data() + rest.size(), value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too small rounds to 0; too large has no value.
        const std::string_view used(rest.data(), static_cast<size_t>(ptr - rest.data()));
        const size_t e = used.find_first_of("eE");
        if (e != std::string_view::npos && e + 1 < used.size() && used[e + 1] == '-')
            return 0.0;
        finite = false;
        return 0.0;
    }
    if (ec != std::errc())
        return 0.0;
    return negative ? -value : value;
}
