#include "core/engine/ListingGuard.h"

#include <climits>
#include <string_view>
#include <utility>

#include "core/engine/NameEscape.h"
#include "core/engine/Prompter.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

enum Reason { kTooDeep, kTooLong, kLoop };

// FNV-1a over the bytes of an entry's facts.
uint64_t Hash(const DirEntryFacts& facts) {
    uint64_t hash = 1469598103934665603ULL;
    auto add = [&hash](const void* data, size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) {
            hash ^= bytes[i];
            hash *= 1099511628211ULL;
        }
    };
    add(facts.name.data(), facts.name.size());
    add(&facts.attributes, sizeof facts.attributes);
    add(&facts.size, sizeof facts.size);
    add(&facts.lastWrite, sizeof facts.lastWrite);
    return hash;
}

size_t LevelsBelow(const std::string& root, const std::string& folder) {
    size_t levels = 0;
    for (size_t at = root.size(); at < folder.size(); ++at) {
        if (folder[at] == '/') ++levels;
    }
    return levels;
}

// The folder a folder text (ending with '/') is in; empty at the top.
std::string ParentOf(const std::string& folder) {
    if (folder.size() < 2) return {};
    const size_t slash = folder.rfind('/', folder.size() - 2);
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

}  // namespace

ListingGuard::ListingGuard(Prompter& prompter) : prompter_(prompter) {}

void ListingGuard::WarnOnce(int reason, const std::string& text) {
    if (warned_[reason]) return;
    warned_[reason] = true;
    prompter_.Warn(text);
}

ListOutcome ListingGuard::Admit(const std::string& folder) {
    if (root_.empty()) root_ = folder;
    if (folder.size() > PATH_MAX) {
        std::string why = FillIn(QCoreApplication::translate(
            "ListingGuard", "its path is longer than the longest a path can be here"));
        WarnOnce(kTooLong,
                 FillIn(QCoreApplication::translate("ListingGuard",
                                                    "The server's folder %1 was not listed: %2. "
                                                    "Nothing below it is copied or deleted."),
                        {EscapeName(folder.substr(0, 200)) + "...", why}));
        return ListOutcome(ListStatus::NotListable, std::move(why));
    }
    if (folder.compare(0, root_.size(), root_) == 0 && LevelsBelow(root_, folder) > kMaxDepth) {
        std::string why =
            FillIn(QCoreApplication::translate("ListingGuard", "it lies more than %1 levels deep"),
                   {std::to_string(kMaxDepth)});
        WarnOnce(kTooDeep,
                 FillIn(QCoreApplication::translate("ListingGuard",
                                                    "The server's folder %1 was not listed: %2. "
                                                    "Nothing below it is copied or deleted."),
                        {EscapeName(folder), why}));
        return ListOutcome(ListStatus::NotListable, std::move(why));
    }
    const auto loop = looping_.find(ParentOf(folder));
    if (loop != looping_.end()) {
        return ListOutcome(
            ListStatus::NotListable,
            FillIn(QCoreApplication::translate(
                       "ListingGuard", "the server lists the folder it is in as it lists %1"),
                   {EscapeName(loop->second)}));
    }
    return {};
}

void ListingGuard::Note(const std::string& folder, uint64_t fingerprint, size_t entries) {
    Listed& listed = listed_[folder];
    listed.fingerprint = fingerprint;
    listed.repeats = 0;
    // A folder of one entry (a/a/a made in one go, all in the same minute)
    // repeats its parent in a real tree too; a chain of them without end
    // meets the depth bound instead.
    if (entries < 2) return;
    for (std::string above = ParentOf(folder); !above.empty(); above = ParentOf(above)) {
        const auto found = listed_.find(above);
        if (found == listed_.end() || found->second.fingerprint != fingerprint) continue;
        listed.repeats = found->second.repeats + 1;
        if (listed.repeats >= 2) {
            looping_[folder] = above;
            WarnOnce(kLoop,
                     FillIn(QCoreApplication::translate(
                                "ListingGuard",
                                "The server lists %1 as it lists %2, a folder it is inside: a "
                                "loop. The folders below it were not listed; nothing below them "
                                "is copied or deleted."),
                            {EscapeName(folder), EscapeName(above)}));
        }
        return;
    }
}

ListingGuard::Sink::Sink(ListingGuard& guard, std::string folder, ListSink& sink)
    : guard_(guard), folder_(std::move(folder)), sink_(sink) {}

bool ListingGuard::Sink::OnEntry(const DirEntryFacts& facts) {
    // A sum, so that the order a server lists in does not matter.
    fingerprint_ += Hash(facts);
    ++entries_;
    return sink_.OnEntry(facts);
}

void ListingGuard::Sink::Finish() {
    guard_.Note(folder_, fingerprint_, entries_);
}

}  // namespace ravelmoor
