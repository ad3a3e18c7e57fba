#include "positioning/ntrip/NtripResponseParser.h"

namespace {

constexpr std::string_view BlankLine = "\r\n\r\n";
constexpr std::string_view IcyLine = "ICY 200 OK\r\n";
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

    header_.append(block);
    const size_t blank = header_.find(BlankLine);
    const size_t icy = header_.find(IcyLine);
    if (blank != std::string::npos || icy != std::string::npos) {
        const size_t headerEnd =
            blank != std::string::npos ? blank + BlankLine.size() : icy + IcyLine.size();
        // An "ICY 200 OK" answer's data begin right after that line, whatever follows it.
        const size_t dataStart = icy != std::string::npos ? icy + IcyLine.size() : headerEnd;
        return judgeHeader(headerEnd, dataStart);
    }
    if (header_.size() > MaxHeaderBytes) {
        phase_ = Phase::Done;
        return refusal(header_);
    }
    return {};
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

NtripResponseParser::Outcome NtripResponseParser::judgeHeader(size_t headerEnd, size_t dataStart) {
    const std::string_view header = std::string_view(header_).substr(0, headerEnd);
    const bool accepted = Contains(header, "200 OK") || Contains(header, "SOURCETABLE 200");
    const bool table = Contains(header, "SOURCETABLE");
    if (!accepted && !table) {
        phase_ = Phase::Done;
        return refusal(header);
    }
    if (table) {
        phase_ = Phase::Table;
        const size_t blank = header_.find(BlankLine);
        const std::string rest =
            blank == std::string::npos ? std::string() : header_.substr(blank + BlankLine.size());
        header_.clear();
        return appendToTable(rest);
    }
    phase_ = Phase::Stream;
    Outcome outcome;
    outcome.kind = Outcome::Kind::StreamStarted;
    outcome.data = std::string_view(header_).substr(std::min(dataStart, header_.size()));
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
        for (const char c : line)
            outcome.serverResponse += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
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
    if (table_.find(TableEnd, searchFrom) != std::string::npos) {
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
