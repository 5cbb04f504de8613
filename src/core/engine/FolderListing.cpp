#include "core/engine/FolderListing.h"

#include <algorithm>

#include "core/engine/CaseFold.h"
#include "core/engine/MatchKey.h"

namespace ravelmoor {

class FolderListing::Sink : public ListSink {
  public:
    Sink(FolderListing& listing, const ScanOptions& options, const ScanMember& member,
         uint32_t index)
        : listing_(listing), options_(options), member_(member), index_(index) {}

    bool OnEntry(const DirEntryFacts& facts) override {
        if (options_.cancel != nullptr && options_.cancel->load(std::memory_order_relaxed) != 0)
            return false;
        const bool folder = (facts.attributes & kFolderAttribute) != 0;
        if (folder && !options_.recordFolders && !options_.includeSubFolders) return true;
        // What a sync kept on a server is its own, never a row to compare.
        if (folder && facts.name == kVersionsFolder) return true;
        if (!folder && IsTemporaryName(facts.name)) {
            listing_.leftovers_.push_back(
                {member_.side, member_.entryPrefix + std::string(facts.name)});
            return true;
        }
        Child child{};
        child.member = index_;
        child.nameAt = static_cast<uint32_t>(listing_.names_.size());
        child.nameLength = static_cast<uint32_t>(facts.name.size());
        listing_.names_.append(facts.name).push_back('\0');
        // The key is folded once, from the name as the scan list holds it.
        escaped_.clear();
        AppendScanName(escaped_, facts.name);
        child.keyAt = static_cast<uint32_t>(listing_.keys_.size());
        AppendFolded(escaped_, listing_.keys_);
        child.keyLength = static_cast<uint32_t>(listing_.keys_.size() - child.keyAt);
        child.attributes = facts.attributes;
        child.size = facts.size;
        child.lastWrite = facts.lastWrite;
        listing_.children_.push_back(child);
        return true;
    }

    // Remembered like a folder that could not be read: the other side's
    // rows of that name are excluded, so no sync copies over or deletes them.
    void OnUnusableName(std::string_view name) override {
        listing_.unlistable_.push_back({member_.side, member_.entryPrefix + std::string(name)});
    }

  private:
    FolderListing& listing_;
    const ScanOptions& options_;
    const ScanMember& member_;
    uint32_t index_;
    std::string escaped_;
};

bool FolderListing::List(const std::vector<ScanMember>& group, const ScanSource* sources) {
    for (uint32_t m = 0; m < group.size(); ++m) {
        const ScanSource& source = sources[group[m].side];
        Sink sink(*this, *source.options, group[m], m);
        ListOutcome listed = source.fs->ListFolder(group[m].listPath, sink);
        if (listed.status == ListStatus::Failed) {
            failedSide_ = group[m].side;
            return false;
        }
        if (listed.status == ListStatus::NotListable) {
            unlistable_.push_back({group[m].side, group[m].entryPrefix});
            // The root is listed before any other folder of its side, by one thread.
            if (group[m].entryPrefix.empty() && source.options->whyRootUnlistable != nullptr)
                *source.options->whyRootUnlistable = std::move(listed.reason);
        }
    }
    Sort();
    return true;
}

// Sorting each folder's few children gives the order of one sort over every
// whole path: in key order a folder's files (no marker) come before its
// sub-folders (marker), and '/' sorts below every byte a name can hold, so a
// folder's content follows it before any sibling whose name it begins.
void FolderListing::Sort() {
    // Files first, then folders; equal keys keep their listing order.
    std::stable_sort(children_.begin(), children_.end(), [this](const Child& a, const Child& b) {
        if (a.IsFolder() != b.IsFolder()) return b.IsFolder();
        return CompareKeys(Key(a), Key(b)) < 0;
    });
    firstFolder_ = static_cast<size_t>(std::find_if(children_.begin(), children_.end(),
                                                    [](const Child& c) { return c.IsFolder(); }) -
                                       children_.begin());
    for (size_t k = firstFolder_; k < children_.size();) {
        size_t end = k + 1;
        while (end < children_.size() && Key(children_[end]) == Key(children_[k]))
            ++end;
        subGroups_.push_back({static_cast<uint32_t>(k), static_cast<uint32_t>(end)});
        k = end;
    }
}

std::vector<ScanMember> FolderListing::MembersOf(const SubGroup& sub,
                                                 const std::vector<ScanMember>& group) const {
    std::vector<ScanMember> members;
    for (uint32_t f = sub.begin; f < sub.end; ++f) {
        const ScanMember& parent = group[children_[f].member];
        const std::string_view name = Name(children_[f]);
        ScanMember member;
        member.side = parent.side;
        member.entryPrefix = parent.entryPrefix;
        member.entryPrefix += kFolderMarker;
        AppendScanName(member.entryPrefix, name);
        member.entryPrefix.push_back('/');
        member.listPath = parent.listPath;
        member.listPath.append(name).push_back('/');
        members.push_back(std::move(member));
    }
    return members;
}

}  // namespace ravelmoor
