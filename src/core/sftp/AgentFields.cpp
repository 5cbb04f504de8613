#include "core/sftp/AgentFields.h"

#include "core/engine/FileEntry.h"
#include "core/sftp/AgentDecoder.h"
#include "core/sftp/AgentProtocol.h"

namespace ravelmoor {

uint8_t AgentFields::Byte() {
    if (!ok_ || at_ >= bytes_.size()) {
        ok_ = false;
        return 0;
    }
    return static_cast<uint8_t>(bytes_[at_++]);
}

uint64_t AgentFields::Varint() {
    uint64_t value = 0;
    if (!ok_ || AgentDecoder::ReadVarint(bytes_, at_, value) != AgentDecoder::Step::Done) {
        ok_ = false;
        return 0;
    }
    return value;
}

uint32_t AgentFields::Word() {
    uint32_t value = 0;
    for (int shift = 0; shift < 32; shift += 8)
        value |= static_cast<uint32_t>(Byte()) << shift;
    return value;
}

std::string_view AgentFields::Rest() {
    if (!ok_) return {};
    const std::string_view rest = bytes_.substr(at_);
    at_ = bytes_.size();
    return rest;
}

bool AgentFields::Entry(DirEntryFacts& facts) {
    if (!ok_ || AtEnd()) return false;
    const auto kind = static_cast<AgentKind>(Byte());
    const uint64_t length = Varint();
    if (!ok_ || length == 0 || length > bytes_.size() - at_) {
        ok_ = false;
        return false;
    }
    facts.name = bytes_.substr(at_, length);
    at_ += length;
    // A name is one level: anything else could lead a path out of the tree.
    if (facts.name == "." || facts.name == ".." ||
        facts.name.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) {
        ok_ = false;
        return false;
    }
    facts.size = 0;
    facts.lastWrite = 0;
    switch (kind) {
        case AgentKind::Folder:
            facts.attributes = kFolderAttribute;
            return true;
        case AgentKind::File:
            facts.attributes = 0;
            break;
        case AgentKind::Link:
            facts.attributes = kSymlinkAttribute;
            break;
        default:
            ok_ = false;
            return false;
    }
    facts.size = Varint();
    const uint64_t zigzag = Varint();
    const uint64_t delta = (zigzag >> 1) ^ (~(zigzag & 1) + 1);
    lastTime_ = static_cast<int64_t>(static_cast<uint64_t>(lastTime_) + delta);
    facts.lastWrite = lastTime_;
    return ok_;
}

}  // namespace ravelmoor
