#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/engine/FileSystem.h"

namespace ravelmoor {

// Reads the fields of one agent frame's payload (AgentProtocol.h) in order.
// Any read past the payload's end, or of a malformed value, makes every
// later read fail, so a caller checks Ok() once after its reads.
class AgentFields {
  public:
    explicit AgentFields(std::string_view payload) : bytes_(payload) {}

    uint8_t Byte();
    uint64_t Varint();
    uint32_t Word();  // four bytes, least significant first
    // The rest of the payload.
    std::string_view Rest();

    // The next entry of an Entries payload (or of several of one folder put
    // one after the other), its name a view into the payload. False at the
    // end or on a malformed entry (then Ok() is false).
    bool Entry(DirEntryFacts& facts);

    bool Ok() const { return ok_; }
    bool AtEnd() const { return at_ == bytes_.size(); }

  private:
    std::string_view bytes_;
    size_t at_ = 0;
    bool ok_ = true;
    int64_t lastTime_ = 0;
};

}  // namespace ravelmoor
