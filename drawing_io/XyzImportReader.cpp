#include "drawing_io/XyzImportReader.h"

#include "drawing_io/ImportBudget.h"
#include "platform/FileIO.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

bool IsScanBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Line splitting over a stream of chunks: whole lines, each capped; an over-long line is
// dropped whole once its end is found.
class XyzLineSplitter {
public:
    explicit XyzLineSplitter(const std::function<void(std::string_view)>& onLine)
        : onLine_(onLine) {}

    void Feed(std::string_view bytes) {
        for (size_t i = 0; i < bytes.size(); ++i) {
            const char c = bytes[i];
            if (afterCr_ && c == '\n') {
                afterCr_ = false;
                continue;
            }
            afterCr_ = false;
            if (c == '\n' || c == '\r') {
                afterCr_ = c == '\r';
                EndLine();
                continue;
            }
            if (tooLong_)
                continue;
            if (line_.size() >= XyzImportMaxLineBytes) {
                tooLong_ = true;
                line_.clear();
                continue;
            }
            line_.push_back(c);
        }
    }

    void Finish() {
        if (!line_.empty() || tooLong_)
            EndLine();
    }

private:
    void EndLine() {
        if (!tooLong_) {
            std::string_view line(line_);
            if (first_ && line.substr(0, 3) == "\xEF\xBB\xBF")
                line.remove_prefix(3);
            onLine_(line);
        }
        first_ = false;
        tooLong_ = false;
        line_.clear();
    }

    const std::function<void(std::string_view)>& onLine_;
    std::string line_;
    bool afterCr_ = false;
    bool tooLong_ = false;
    bool first_ = true;
};

} // namespace

size_t ScanXyzNumber(std::string_view text, double& out) {
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // from_chars reads "inf" and "nan" too; they are refused below.
    double value = 0;
    const char* begin = text.data() + pos;
    const auto result = std::from_chars(begin, text.data() + text.size(), value);
    if (result.ec == std::errc::invalid_argument || result.ptr == begin)
        return 0;
    if (result.ec == std::errc::result_out_of_range || !std::isfinite(value))
        return 0;
    out = negative ? -value : value;
    return static_cast<size_t>(result.ptr - text.data());
}

std::optional<XyzImportPoint> ReadXyzImportLine(std::string_view line) {
    size_t start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t'))
        ++start;
    line.remove_prefix(start);
    if (line.empty())
        return std::nullopt;
    const char first = line.front();
    if (first == '#' || first == '/')
        return std::nullopt;
    if (!((first >= '0' && first <= '9') || first == '-' || first == '+'))
        return std::nullopt;

    double numbers[4] = {0, 0, 0, 0};
    int count = 0;
    size_t pos = 0;
    while (count < 4) {
        // "%lf %lf": blanks, tabs and commas (commas count as blanks) before each number.
        while (pos < line.size() && (IsScanBlank(line[pos]) || line[pos] == ','))
            ++pos;
        if (pos >= line.size())
            break;
        const size_t used = ScanXyzNumber(line.substr(pos), numbers[count]);
        if (used == 0) {
            // A refused number ("nan", "inf") refuses the line; other text ends the scan.
            const std::string_view rest = line.substr(pos);
            const size_t signSkip = (rest[0] == '+' || rest[0] == '-') ? 1 : 0;
            if (rest.size() > signSkip) {
                const char c = static_cast<char>(rest[signSkip] | 0x20);
                if (c == 'n' || c == 'i' || (rest[signSkip] >= '0' && rest[signSkip] <= '9') ||
                    rest[signSkip] == '.')
                    return std::nullopt;
            }
            break;
        }
        pos += used;
        ++count;
    }
    XyzImportPoint point;
    if (count == 4) {
        point = {numbers[1], numbers[2], numbers[3]};
    } else if (count == 3) {
        point = {numbers[0], numbers[1], numbers[2]};
    } else {
        return std::nullopt;
    }
    if (point.X == 0 && point.Y == 0)
        return std::nullopt;
    return point;
}

size_t ReadXyzImportBytes(std::string_view bytes,
                          const std::function<void(const XyzImportPoint&)>& onPoint) {
    size_t accepted = 0;
    const std::function<void(std::string_view)> onLine = [&](std::string_view line) {
        if (const auto point = ReadXyzImportLine(line)) {
            ++accepted;
            onPoint(*point);
        }
    };
    XyzLineSplitter splitter(onLine);
    splitter.Feed(bytes);
    splitter.Finish();
    return accepted;
}

bool ReadXyzImportFile(const std::string& path,
                       const std::function<void(const XyzImportPoint&)>& onPoint,
                       size_t* accepted, std::string* error, ImportBudget* budget,
                       uint64_t costPerPoint) {
    uint64_t fileBytes = 0;
    const int fd = OpenRegularFileForReading(path, error, &fileBytes);
    if (fd < 0)
        return false;
    size_t count = 0;
    bool refused = false;
    const std::function<void(std::string_view)> onLine = [&](std::string_view line) {
        if (refused)
            return;
        if (const auto point = ReadXyzImportLine(line)) {
            if (budget && !budget->Charge(costPerPoint)) {
                refused = true;
                return;
            }
            ++count;
            onPoint(*point);
        }
    };
    XyzLineSplitter splitter(onLine);
    std::string chunk(64 * 1024, '\0');
    bool first = true;
    bool readFailed = false;
    while (!refused) {
        const ssize_t got = ::read(fd, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            readFailed = true;
            break;
        }
        if (got == 0)
            break;
        const std::string_view block(chunk.data(), static_cast<size_t>(got));
        if (first && budget) {
            // Before anything is kept: what the first block gives, scaled to the whole file.
            // A file that would not fit is refused without reading it all.
            first = false;
            size_t sampled = 0;
            const std::function<void(std::string_view)> countLine = [&](std::string_view line) {
                if (ReadXyzImportLine(line))
                    ++sampled;
            };
            XyzLineSplitter sample(countLine);
            sample.Feed(block);
            ImportBudget estimate = *budget;
            if (!estimate.ChargeExtrapolated(sampled * costPerPoint, block.size(), fileBytes)) {
                *budget = estimate;
                refused = true;
                break;
            }
        }
        splitter.Feed(block);
    }
    ::close(fd);
    if (refused) {
        if (error)
            *error = budget->Refusal();
        return false;
    }
    if (readFailed) {
        if (error)
            *error = "the file cannot be read";
        return false;
    }
    splitter.Finish();
    if (accepted)
        *accepted = count;
    return true;
}
