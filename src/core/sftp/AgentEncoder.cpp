#include "core/sftp/AgentEncoder.h"

#include "core/engine/FileEntry.h"

namespace ravelmoor {

void AgentEncoder::PutVarint(std::string& out, uint64_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<char>(value));
}

uint64_t AgentEncoder::ZigZag(int64_t value) {
    return (static_cast<uint64_t>(value) << 1) ^ static_cast<uint64_t>(value >> 63);
}

AgentKind AgentEncoder::KindOf(uint32_t attributes) {
    if ((attributes & kFolderAttribute) != 0) return AgentKind::Folder;
    if ((attributes & kSymlinkAttribute) != 0) return AgentKind::Link;
    return AgentKind::File;
}

void AgentEncoder::Frame(AgentFrame type, std::string_view payload) {
    out_.push_back(static_cast<char>(type));
    PutVarint(out_, payload.size());
    out_.append(payload);
}

void AgentEncoder::Greeting(uint64_t version) {
    out_.append(kAgentMagic);
    PutVarint(out_, version);
}

void AgentEncoder::List(std::string_view folder, bool recursive) {
    scratch_.assign(1, static_cast<char>(recursive ? kAgentRecursive : 0));
    scratch_.append(folder);
    Frame(AgentFrame::List, scratch_);
}

void AgentEncoder::Sum(uint64_t id, uint32_t attributes, uint64_t size, uint64_t limit,
                       std::string_view path) {
    scratch_.clear();
    PutVarint(scratch_, id);
    scratch_.push_back(static_cast<char>(KindOf(attributes)));
    PutVarint(scratch_, size);
    PutVarint(scratch_, limit);
    scratch_.append(path);
    Frame(AgentFrame::Sum, scratch_);
}

void AgentEncoder::Folder(std::string_view path) {
    Frame(AgentFrame::Folder, path);
    lastTime_ = 0;
}

void AgentEncoder::Entry(const DirEntryFacts& facts) {
    const AgentKind kind = KindOf(facts.attributes);
    entries_.push_back(static_cast<char>(kind));
    PutVarint(entries_, facts.name.size());
    entries_.append(facts.name);
    if (kind != AgentKind::Folder) {
        PutVarint(entries_, facts.size);
        // Wraps rather than overflows; the decoder wraps back.
        PutVarint(entries_, ZigZag(static_cast<int64_t>(static_cast<uint64_t>(facts.lastWrite) -
                                                        static_cast<uint64_t>(lastTime_))));
        lastTime_ = facts.lastWrite;
    }
    if (entries_.size() >= kAgentBatch) FlushEntries();
}

void AgentEncoder::FlushEntries() {
    if (entries_.empty()) return;
    Frame(AgentFrame::Entries, entries_);
    entries_.clear();
}

void AgentEncoder::FolderEnd(AgentListed status, std::string_view reason) {
    FlushEntries();
    scratch_.assign(1, static_cast<char>(status));
    scratch_.append(reason);
    Frame(AgentFrame::FolderEnd, scratch_);
}

void AgentEncoder::ListEnd() {
    Frame(AgentFrame::ListEnd, {});
}

void AgentEncoder::Summed(uint64_t id, AgentSummed status, uint32_t checksum, uint64_t bytes,
                          std::string_view reason) {
    scratch_.clear();
    PutVarint(scratch_, id);
    scratch_.push_back(static_cast<char>(status));
    for (int shift = 0; shift < 32; shift += 8)
        scratch_.push_back(static_cast<char>((checksum >> shift) & 0xFF));
    PutVarint(scratch_, bytes);
    scratch_.append(reason);
    Frame(AgentFrame::Summed, scratch_);
}

void AgentEncoder::Refusal(std::string_view reason) {
    Frame(AgentFrame::Refusal, reason);
}

void AgentEncoder::Identify(uint64_t id, std::string_view path) {
    scratch_.clear();
    PutVarint(scratch_, id);
    scratch_.append(path);
    Frame(AgentFrame::Identify, scratch_);
}

void AgentEncoder::Identity(uint64_t id, AgentIdentified status, uint64_t device, uint64_t inode) {
    scratch_.clear();
    PutVarint(scratch_, id);
    scratch_.push_back(static_cast<char>(status));
    PutVarint(scratch_, device);
    PutVarint(scratch_, inode);
    Frame(AgentFrame::Identity, scratch_);
}

}  // namespace ravelmoor
