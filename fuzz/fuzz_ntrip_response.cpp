// A caster's answer into the response parser, whole, byte by byte and at fuzzer-chosen cuts,
// and a source table into its parser. Property: the stream bytes, the table text or the
// refusal are those of feeding the answer in one block, whatever the cuts.

#include "fuzz/FuzzProperty.h"
#include "positioning/ntrip/NtripProtocol.h"
#include "positioning/ntrip/NtripResponseParser.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Transcript {
    std::string data;
    std::string table;
    std::string status;
    std::string serverResponse;
    bool truncated = false;
    bool operator==(const Transcript&) const = default;
};

Transcript Feed(const std::vector<std::string_view>& blocks) {
    NtripResponseParser parser("MOUNT");
    Transcript t;
    auto take = [&t](const NtripResponseParser::Outcome& o) {
        using Kind = NtripResponseParser::Outcome::Kind;
        if (o.kind == Kind::StreamStarted || o.kind == Kind::StreamData)
            t.data.append(o.data);
        if (o.kind == Kind::SourceTable) {
            t.table = o.sourceTable;
            t.truncated = o.truncated;
        }
        if (o.kind == Kind::Refused) {
            t.status = o.status;
            t.serverResponse = o.serverResponse;
        }
    };
    for (const std::string_view block : blocks)
        take(parser.feed(block));
    take(parser.finish());
    return t;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    std::vector<size_t> cuts;
    const size_t count = provider.ConsumeIntegralInRange<size_t>(0, 16);
    for (size_t i = 0; i < count; ++i)
        cuts.push_back(provider.ConsumeIntegralInRange<size_t>(1, 64));
    const std::string answer = provider.ConsumeRemainingBytesAsString();
    const std::string_view all(answer);

    const Transcript whole = Feed({all});
    std::vector<std::string_view> bytes;
    for (size_t i = 0; i < all.size(); ++i)
        bytes.push_back(all.substr(i, 1));
    FUZZ_PROPERTY(Feed(bytes) == whole);
    std::vector<std::string_view> pieces;
    size_t at = 0;
    for (size_t i = 0; at < all.size(); ++i) {
        const size_t length = cuts.empty() ? all.size() : cuts[i % cuts.size()];
        pieces.push_back(all.substr(at, length));
        at += length;
    }
    FUZZ_PROPERTY(Feed(pieces) == whole);
    for (const char c : whole.serverResponse)
        FUZZ_PROPERTY(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);

    for (const std::string& mountPoint : ParseSourceTableMountPoints(answer))
        FUZZ_PROPERTY(mountPoint.find('\n') == std::string::npos);
    return 0;
}
