#include "drawing_io/ProjectFile.h"
#include "drawing_io/ProjectFileStaging.h"
#include "drawing_io/ImportBudget.h"

#include "canvas/CanvasModel.h"
#include "platform/FileIO.h"

#include <QFile>

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t ReadChunkBytes = 64 * 1024;
constexpr size_t InflateBlockBytes = 64 * 1024;

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Splits the text into lines as it arrives and hands each to the staging: one carriage
// return before the line feed is dropped (files edited on Windows), and so is a byte-order
// mark at the start of the text.
class LineSplitter {
public:
    LineSplitter(ProjectFileStaging& staging, const ProjectLoadLimits& limits)
        : staging_(staging), limits_(limits) {}

    bool Take(const char* data, size_t size) {
        textBytes_ += size;
        if (textBytes_ > limits_.MaxTextBytes)
            return Fail("the file holds more than " + std::to_string(limits_.MaxTextBytes >> 20) +
                        " MiB of text");
        std::string_view block(data, size);
        while (!block.empty()) {
            const size_t feed = block.find('\n');
            if (feed == std::string_view::npos) {
                if (carry_.size() + block.size() > limits_.MaxLineBytes)
                    return LineTooLong();
                carry_.append(block);
                return true;
            }
            std::string_view line = block.substr(0, feed);
            block.remove_prefix(feed + 1);
            if (!carry_.empty()) {
                if (carry_.size() + line.size() > limits_.MaxLineBytes)
                    return LineTooLong();
                carry_.append(line);
                const bool taken = Line(carry_);
                carry_.clear();
                if (!taken)
                    return false;
            } else {
                if (line.size() > limits_.MaxLineBytes)
                    return LineTooLong();
                if (!Line(line))
                    return false;
            }
        }
        return true;
    }

    // The last line needs no line feed.
    bool Finish() {
        if (!carry_.empty()) {
            if (!Line(carry_))
                return false;
            carry_.clear();
        }
        return true;
    }

    const std::string& Error() const { return error_; }

private:
    bool Fail(std::string why) {
        error_ = std::move(why);
        return false;
    }

    bool LineTooLong() {
        return Fail("line " + std::to_string(lines_ + 1) + " is longer than " +
                    std::to_string(limits_.MaxLineBytes) + " bytes");
    }

    bool Line(std::string_view line) {
        if (lines_++ == 0 && line.starts_with("\xEF\xBB\xBF"))
            line.remove_prefix(3);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!staging_.TakeLine(line))
            return Fail(staging_.Error());
        return true;
    }

    ProjectFileStaging& staging_;
    const ProjectLoadLimits& limits_;
    std::string carry_;
    uint64_t textBytes_ = 0;
    size_t lines_ = 0;
    std::string error_;
};

class Inflater {
public:
    ~Inflater() {
        if (started_)
            inflateEnd(&stream_);
    }
    bool Start() {
        started_ = inflateInit(&stream_) == Z_OK;
        return started_;
    }
    z_stream& Stream() { return stream_; }

private:
    z_stream stream_{};
    bool started_ = false;
};

ProjectFileResult Failure(std::string reason) {
    ProjectFileResult result;
    result.Reason = std::move(reason);
    return result;
}

ProjectFileResult Load(CanvasModel& canvas, const std::string& path, int mode,
                       const ProjectLoadLimits& limits) {
    std::string openError;
    const Descriptor file(OpenRegularFileForReading(path, &openError));
    if (file.get() < 0)
        return Failure(openError);

    ImportBudget budget(FileNameOf(path), limits.MaxShapeBytes);
    ProjectFileStaging staging(canvas, mode == 0, budget);
    LineSplitter lines(staging, limits);
    Inflater inflater;
    std::vector<char> input(ReadChunkBytes);
    std::vector<char> output(InflateBlockBytes);

    enum class Body { Unknown, Compressed, Plain };
    Body body = Body::Unknown;
    std::string head; // the first bytes, until the magic can be told
    bool streamEnded = false;

    for (;;) {
        const ssize_t got = ::read(file.get(), input.data(), input.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return Failure(std::string("the file cannot be read: ") + std::strerror(errno));
        }
        const bool endOfFile = got == 0;
        const char* data = input.data();
        size_t size = static_cast<size_t>(got);

        if (body == Body::Unknown) {
            head.append(data, size);
            if (head.size() < 4 && !endOfFile)
                continue;
            if (head.size() >= 4 && head.compare(0, 4, "WJT1") == 0) {
                body = Body::Compressed;
                if (!inflater.Start())
                    return Failure("there is not enough memory to read the file");
                head.erase(0, 4);
            } else {
                body = Body::Plain;
            }
            data = head.data();
            size = head.size();
        }

        if (body == Body::Plain) {
            if (size > 0 && !lines.Take(data, size))
                return Failure(lines.Error());
        } else {
            z_stream& stream = inflater.Stream();
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
            stream.avail_in = static_cast<uInt>(size);
            while (!streamEnded && (stream.avail_in > 0 || endOfFile)) {
                stream.next_out = reinterpret_cast<Bytef*>(output.data());
                stream.avail_out = static_cast<uInt>(output.size());
                const int status = inflate(&stream, Z_NO_FLUSH);
                const size_t produced = output.size() - stream.avail_out;
                if (produced > 0 && !lines.Take(output.data(), produced))
                    return Failure(lines.Error());
                if (status == Z_STREAM_END) {
                    // Bytes after the end of the stream are not part of the drawing.
                    streamEnded = true;
                } else if (status == Z_MEM_ERROR) {
                    return Failure("there is not enough memory to read the file");
                } else if (status == Z_NEED_DICT || status == Z_DATA_ERROR ||
                           status == Z_STREAM_ERROR) {
                    return Failure("the compressed drawing is damaged");
                } else if (status == Z_BUF_ERROR || produced == 0) {
                    // No progress: more input is needed.
                    if (endOfFile)
                        return Failure("the file is cut short: its compressed drawing does not "
                                       "end");
                    // The next read reuses the input buffer, so nothing may be left in it.
                    if (stream.avail_in > 0)
                        return Failure("the compressed drawing is damaged");
                    break;
                }
            }
        }
        if (body == Body::Unknown)
            continue;
        head.clear();
        head.shrink_to_fit();
        if (endOfFile || streamEnded)
            break;
    }

    if (!lines.Finish())
        return Failure(lines.Error());
    if (!staging.Finish())
        return Failure(staging.Error());
    if (staging.RecordCount() == 0)
        return Failure("the file holds no drawing (not a single record)");

    staging.Commit(canvas);
    ProjectFileResult result;
    result.Ok = true;
    return result;
}

} // namespace

ProjectFileResult CadLoad(CanvasModel& canvas, const QString& fileName, int, int, int mode,
                          const ProjectLoadLimits& limits) {
    try {
        return Load(canvas, QFile::encodeName(fileName).toStdString(), mode, limits);
    } catch (const std::bad_alloc&) {
        return Failure("there is not enough memory to read the file");
    }
}
