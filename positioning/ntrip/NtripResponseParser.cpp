#include "positioning/ntrip/NtripResponseParser.h"

#include "platform/PrintableText.h"

namespace {

constexpr std::string_view LineEnd = "\r\n";
constexpr std::string_view BlankLine = "\r\n\r\n";
constexpr std::string_view IcyStatus = "ICY 200 OK";
constexpr std::string_view TableEnd = "ENDSOURCETABLE";

bool Contains(std::string_view text, std::string_view what) {
    return text.find(what) != std::string_view::npos;
}

} // namespace

NtripResponseParser::Outcome NtripResponseParser::feed(std::string_view block) {
    switch (phase_) {
    case Phase::Stream: {
        Outcome outcome;
        outcome.kind = Outcome::Kind::StreamData;
        outcome.data = block;
        return outcome;
    }
    case Phase::Table:
        return appendToTable(block);
    case Phase::Done:
        return {};
    case Phase::Header:
        break;
    }

    // The answer depends on the bytes alone, never on how the socket cut them: the header's
    // end is found the same way in one block as byte by byte, and only within the cap.
    const size_t searchFrom = header_.size() >= 3 ? header_.size() - 3 : 0;
    header_.append(block);
    const size_t firstLineEnd = header_.find(LineEnd);
    if (firstLineEnd == std::string::npos || firstLineEnd + LineEnd.size() > MaxHeaderBytes)
        return header_.size() > MaxHeaderBytes ? overflow() : Outcome{};
    // "ICY 200 OK" says all in its status line: the data begin right after it, whatever they
    // hold. Any other answer has a header ending at its first blank line.
    if (std::string_view(header_).substr(0, firstLineEnd) == IcyStatus)
        return judgeHeader(firstLineEnd + LineEnd.size());
    const size_t blank = header_.find(BlankLine, std::min(searchFrom, firstLineEnd));
    if (blank == std::string::npos || blank + BlankLine.size() > MaxHeaderBytes)
        return header_.size() > MaxHeaderBytes ? overflow() : Outcome{};
    return judgeHeader(blank + BlankLine.size());
}

NtripResponseParser::Outcome NtripResponseParser::overflow() {
    phase_ = Phase::Done;
    // Only the capped part counts, as it would have had the bytes come one by one.
    return refusal(std::string_view(header_).substr(0, MaxHeaderBytes));
}

NtripResponseParser::Outcome NtripResponseParser::finish() {
    if (phase_ != Phase::Header || header_.empty())
        return {};
    const std::string_view header = header_;
    const bool accepted = Contains(header, "200 OK") || Contains(header, "SOURCETABLE 200");
    if (accepted || Contains(header, "SOURCETABLE"))
        return {}; // an answer that was going well and then stopped: a plain closure
    phase_ = Phase::Done;
    return refusal(header);
}

NtripResponseParser::Outcome NtripResponseParser::judgeHeader(size_t headerEnd) {
    const std::string_view header = std::string_view(header_).substr(0, headerEnd);
    const bool accepted = Contains(header, "200 OK") || Contains(header, "SOURCETABLE 200");
    const bool table = Contains(header, "SOURCETABLE");
    if (!accepted && !table) {
        phase_ = Phase::Done;
        return refusal(header);
    }
    if (table) {
        phase_ = Phase::Table;
        const std::string rest = header_.substr(headerEnd);
        header_.clear();
        return appendToTable(rest);
    }
    phase_ = Phase::Stream;
    Outcome outcome;
    outcome.kind = Outcome::Kind::StreamStarted;
    outcome.data = std::string_view(header_).substr(headerEnd);
    return outcome;
}

NtripResponseParser::Outcome NtripResponseParser::refusal(std::string_view header) {
    Outcome outcome;
    outcome.kind = Outcome::Kind::Refused;
    if (Contains(header, "401")) {
        outcome.status = "401 - Invalid username or password";
    } else if (Contains(header, "404")) {
        outcome.status = "404 - Mount point not found: " + mountPoint_;
    } else if (Contains(header, "403")) {
        outcome.status = "403 - Access forbidden";
    } else {
        std::string_view line = header.substr(0, header.find("\r\n"));
        line = line.substr(0, MaxQuotedLineBytes);
        // The line goes to the operator's log: nothing unprintable from the network.
        outcome.serverResponse = PrintableText(line);
        outcome.status = "Unknown server response";
    }
    return outcome;
}

NtripResponseParser::Outcome NtripResponseParser::appendToTable(std::string_view bytes) {
    Outcome outcome;
    const size_t room = MaxSourceTableBytes - table_.size();
    // Only the new bytes, and the end of the old ones that a marker may straddle, are searched.
    const size_t searchFrom =
        table_.size() >= TableEnd.size() ? table_.size() - TableEnd.size() + 1 : 0;
    table_.append(bytes.substr(0, room));
    const size_t end = table_.find(TableEnd, searchFrom);
    if (end != std::string::npos) {
        // The table ends with its marker's line, whatever came after it in the same read.
        table_.resize(end + TableEnd.size());
        table_.append(LineEnd);
        outcome.kind = Outcome::Kind::SourceTable;
    } else if (bytes.size() > room) {
        const size_t lastLineEnd = table_.find_last_of("\r\n");
        table_.resize(lastLineEnd == std::string::npos ? 0 : lastLineEnd + 1);
        outcome.kind = Outcome::Kind::SourceTable;
        outcome.truncated = true;
    } else {
        return outcome;
    }
    phase_ = Phase::Done;
    outcome.sourceTable = std::move(table_);
    table_.clear();
    return outcome;
}
