// Feeds arbitrary bytes, in pieces of arbitrary sizes, to the agent stream's
// decoder as the SFTP side would get them from a server, and checks what the
// side relies on: it never reads past what it was given, never hands out a
// frame longer than the limit, and every listing it accepts encodes back to
// the same entries.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/sftp/AgentDecoder.h"
#include "core/sftp/AgentEncoder.h"
#include "core/sftp/AgentFields.h"

using namespace ravelmoor;

namespace {

struct Fact {
    std::string name;
    uint32_t attributes;
    uint64_t size;
    int64_t lastWrite;
    bool operator==(const Fact&) const = default;
};

std::vector<Fact> Parse(std::string_view payload, bool& ok) {
    std::vector<Fact> facts;
    AgentFields fields(payload);
    DirEntryFacts entry;
    while (fields.Entry(entry))
        facts.push_back({std::string(entry.name), entry.attributes, entry.size, entry.lastWrite});
    ok = fields.Ok();
    return facts;
}

void CheckRoundTrip(const std::vector<Fact>& facts) {
    AgentEncoder encoder;
    encoder.Folder("x");
    for (const Fact& fact : facts)
        encoder.Entry({fact.name, fact.attributes, fact.size, fact.lastWrite});
    encoder.FolderEnd(AgentListed::Listed, {});
    AgentDecoder decoder;
    decoder.Feed(encoder.Buffer());
    std::string entries;
    AgentFrame type{};
    std::string_view payload;
    while (decoder.Next(type, payload) == AgentDecoder::Step::Done) {
        if (type == AgentFrame::Entries) entries.append(payload);
    }
    bool ok = false;
    if (Parse(entries, ok) != facts || !ok || decoder.Pending() != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t step = 1 + data[0] % 64;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    AgentDecoder decoder;
    bool greeted = false;
    size_t fed = 0;
    while (fed < bytes.size()) {
        const std::string_view piece = bytes.substr(fed, step);
        fed += piece.size();
        decoder.Feed(piece);
        if (!greeted) {
            uint64_t version = 0;
            const AgentDecoder::Step got = decoder.Greeting(version);
            if (got == AgentDecoder::Step::Bad) return 0;
            if (got == AgentDecoder::Step::More) continue;
            greeted = true;
        }
        AgentFrame type{};
        std::string_view payload;
        AgentDecoder::Step got;
        while ((got = decoder.Next(type, payload)) == AgentDecoder::Step::Done) {
            if (payload.size() > kAgentMaxPayload) std::abort();
            if (type != AgentFrame::Entries) continue;
            bool ok = false;
            const std::vector<Fact> facts = Parse(payload, ok);
            if (ok) CheckRoundTrip(facts);
        }
        if (got == AgentDecoder::Step::Bad) return 0;
        if (decoder.Pending() > fed) std::abort();
    }
    return 0;
}
