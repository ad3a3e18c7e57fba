#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Reads a caster's answer block by block, as the blocks arrive from the socket: gathers the
// response header, decides between a correction stream, a source table and a refusal, and
// gathers a source table until its end marker. Once a stream runs, every block is plain
// correction data and the parser only says so.
//
// The result depends only on the bytes, never on how they were cut into reads. An
// "ICY 200 OK" status line ends the header at its own line end; any other header ends at its
// first blank line. What follows is data or table, whatever it holds ("ICY 200 OK", blank
// lines, "SOURCETABLE"). A header that does not end within MaxHeaderBytes is refused.
class NtripResponseParser {
public:
    // A caster that never ends its header must not make us buffer without bound.
    static constexpr size_t MaxHeaderBytes = 8192;
    // Large public casters list a few thousand streams; far more is not a source table.
    static constexpr size_t MaxSourceTableBytes = 4 * 1024 * 1024;
    // The caster's first line as quoted in the log.
    static constexpr size_t MaxQuotedLineBytes = 200;

    struct Outcome {
        enum class Kind {
            NeedMore,      // keep receiving
            Refused,       // `status`: the error text; `serverResponse`: the caster's first line
                           // when the refusal was not recognised
            StreamStarted, // `data`: correction bytes that came with the header (may be empty)
            StreamData,    // `data`: the whole block
            SourceTable,   // `sourceTable`: the table text after the header, complete, ending
                           // with "ENDSOURCETABLE\r\n"
        };
        Kind kind = Kind::NeedMore;
        std::string status;
        std::string serverResponse;
        // Valid until the next call.
        std::string_view data;
        std::string sourceTable;
        // The table outgrew MaxSourceTableBytes and was cut after its last complete line.
        bool truncated = false;
    };

    explicit NtripResponseParser(std::string mountPoint) : mountPoint_(std::move(mountPoint)) {}

    Outcome feed(std::string_view block);

    // The caster closed the connection (or went silent). A header that never reached its blank
    // line may still say why: a refusal is reported as such instead of a plain closure.
    // Returns NeedMore when there is nothing to report but the closure.
    Outcome finish();

    bool headerComplete() const { return phase_ != Phase::Header; }
    bool streaming() const { return phase_ == Phase::Stream; }

private:
    enum class Phase { Header, Table, Stream, Done };

    Outcome judgeHeader(size_t headerEnd);
    Outcome overflow();
    Outcome refusal(std::string_view header);
    Outcome appendToTable(std::string_view bytes);

    std::string mountPoint_;
    Phase phase_ = Phase::Header;
    std::string header_;
    std::string table_;
};
