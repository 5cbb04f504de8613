#include "core/engine/ScanFolder.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "core/engine/CaseFold.h"
#include "core/engine/MatchKey.h"

namespace ravelmoor {
namespace {

// One folder to list, or several whose names fold equal (Docs and docs):
// their children are listed together and come out in one key order, as one
// sort over whole paths would put them.
struct Member {
    std::string entryPrefix;  // the folder in key text (markers, trailing '/')
    std::string listPath;     // the same folder for the file system (trailing '/')
    const char* folder;       // the list's handle of the folder (FileList::AddFolder)
};

// The children of one folder group, in listing order until they are sorted.
struct Listing {
    struct Child {
        uint32_t member;
        uint32_t nameAt, nameLength;  // in `names`: the name as the file system spells it
        uint32_t keyAt, keyLength;    // in `keys`: the folded scan-list name
        uint32_t attributes;
        uint64_t size;
        int64_t lastWrite;

        bool IsFolder() const { return (attributes & kFolderAttribute) != 0; }
    };

    std::string_view Name(const Child& child) const {
        return {names.data() + child.nameAt, child.nameLength};
    }
    std::string_view Key(const Child& child) const {
        return {keys.data() + child.keyAt, child.keyLength};
    }

    std::string names;
    std::string keys;
    std::vector<Child> children;
};

class Scanner {
  public:
    Scanner(FileSystem& fs, FileList& list, size_t rootLength, const ScanOptions& options)
        : fs_(fs), list_(list), options_(options), rootLength_(rootLength) {}

    bool Cancelled() const {
        return options_.cancel != nullptr && options_.cancel->load(std::memory_order_relaxed) != 0;
    }

    // Lists the group, adds its files in key order, then each sub-folder
    // followed by everything below it. Sorting each folder's few children
    // gives the order of one sort over every whole path: in key order a
    // folder's files (no marker) come before its sub-folders (marker), and
    // '/' sorts below every byte a name can hold, so a folder's content
    // follows it before any sibling whose name it begins.
    bool Scan(const std::vector<Member>& group) {
        Listing listing;
        for (uint32_t m = 0; m < group.size(); ++m) {
            FolderSink sink(*this, group[m].entryPrefix, m, listing);
            const ListStatus status = fs_.ListFolder(group[m].listPath, sink);
            if (status == ListStatus::Failed) return false;
            if (status == ListStatus::NotListable && options_.unlistable != nullptr) {
                options_.unlistable->push_back(group[m].entryPrefix);
            }
        }
        if (Cancelled()) return true;

        auto& children = listing.children;
        // Files first, then folders; equal keys keep their listing order
        // (and a group's first folder's children before the next one's).
        std::stable_sort(children.begin(), children.end(),
                         [&listing](const Listing::Child& a, const Listing::Child& b) {
                             if (a.IsFolder() != b.IsFolder()) return b.IsFolder();
                             return CompareKeys(listing.Key(a), listing.Key(b)) < 0;
                         });
        const auto firstFolder =
            static_cast<size_t>(std::find_if(children.begin(), children.end(),
                                             [](const Listing::Child& c) { return c.IsFolder(); }) -
                                children.begin());
        for (size_t k = 0; k < firstFolder; ++k)
            Add(group[children[k].member].folder, listing.Name(children[k]), children[k]);
        Flush();

        std::vector<Member> subGroup;
        for (size_t k = firstFolder; k < children.size();) {
            if (Cancelled()) return true;
            size_t end = k + 1;
            while (end < children.size() &&
                   listing.Key(children[end]) == listing.Key(children[k])) {
                ++end;
            }
            subGroup.clear();
            for (size_t f = k; f < end; ++f) {
                const Member& parent = group[children[f].member];
                const std::string_view name = listing.Name(children[f]);
                if (options_.recordFolders) Add(parent.folder, name, children[f]);
                std::string entryPrefix = parent.entryPrefix;
                entryPrefix += kFolderMarker;
                AppendScanName(entryPrefix, name);
                entryPrefix.push_back('/');
                std::string listPath = parent.listPath;
                listPath.append(name).push_back('/');
                const char* folder =
                    options_.includeSubFolders
                        ? list_.AddFolder(std::string_view(listPath).substr(rootLength_))
                        : nullptr;
                subGroup.push_back({std::move(entryPrefix), std::move(listPath), folder});
            }
            Flush();
            if (options_.includeSubFolders && !Scan(subGroup)) return false;
            k = end;
        }
        return true;
    }

    int64_t added() const { return added_; }

  private:
    class FolderSink : public ListSink {
      public:
        FolderSink(Scanner& scanner, const std::string& prefix, uint32_t member, Listing& listing)
            : scanner_(scanner), prefix_(prefix), member_(member), listing_(listing) {}

        bool OnEntry(const DirEntryFacts& facts) override {
            if (scanner_.Cancelled()) return false;
            const bool folder = (facts.attributes & kFolderAttribute) != 0;
            if (folder && !scanner_.options_.recordFolders &&
                !scanner_.options_.includeSubFolders) {
                return true;
            }
            if (!folder && IsTemporaryName(facts.name)) {
                if (scanner_.options_.leftovers != nullptr) {
                    scanner_.options_.leftovers->push_back(prefix_ + std::string(facts.name));
                }
                return true;
            }
            Listing::Child child{};
            child.member = member_;
            child.nameAt = static_cast<uint32_t>(listing_.names.size());
            child.nameLength = static_cast<uint32_t>(facts.name.size());
            listing_.names.append(facts.name);
            // The key is folded once, from the name as the scan list holds it.
            escaped_.clear();
            AppendScanName(escaped_, facts.name);
            child.keyAt = static_cast<uint32_t>(listing_.keys.size());
            AppendFolded(escaped_, listing_.keys);
            child.keyLength = static_cast<uint32_t>(listing_.keys.size() - child.keyAt);
            child.attributes = facts.attributes;
            child.size = facts.size;
            child.lastWrite = facts.lastWrite;
            listing_.children.push_back(child);
            return true;
        }

        // Remembered like a folder that could not be read: the other side's
        // rows of that name are excluded, so no sync copies over or deletes them.
        void OnUnusableName(std::string_view name) override {
            if (scanner_.options_.unlistable != nullptr) {
                scanner_.options_.unlistable->push_back(prefix_ + std::string(name));
            }
        }

      private:
        Scanner& scanner_;
        const std::string& prefix_;
        uint32_t member_;
        Listing& listing_;
        std::string escaped_;
    };

    void Add(const char* folder, std::string_view name, const Listing::Child& child) {
        last_ = list_.AddListed(folder, name, child.attributes, child.size, child.lastWrite);
        ++added_;
        ++unreported_;
    }

    // The counter and the current name are shared with the display: told
    // once per folder rather than once per entry.
    void Flush() {
        if (unreported_ == 0) return;
        if (options_.counter != nullptr)
            options_.counter->fetch_add(unreported_, std::memory_order_relaxed);
        unreported_ = 0;
        // The current name is read back without markers, so a name's own
        // 0xFF bytes go in escaped.
        shown_.clear();
        AppendScanName(shown_, list_.ElementAt(last_).path.str());
        list_.SetCurrentName(shown_);
    }

    FileSystem& fs_;
    FileList& list_;
    const ScanOptions& options_;
    const size_t rootLength_;
    std::string shown_;
    int64_t added_ = 0;
    int64_t unreported_ = 0;
    size_t last_ = 0;
};

}  // namespace

ScanResult ScanFolder(FileSystem& fs, FileList& list, const std::string& folder,
                      const ScanOptions& options) {
    Scanner scanner(fs, list, folder.size(), options);
    // The root is a real path: any byte in it, 0xFF included, is part of a name.
    const std::vector<Member> root{{std::string(), folder, list.AddFolder({})}};
    ScanResult result;
    result.ok = scanner.Scan(root);
    result.added = scanner.added();
    return result;
}

}  // namespace ravelmoor
