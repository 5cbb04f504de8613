#include "core/engine/ScanFolder.h"

#include <algorithm>

namespace ravelmoor {
namespace {

class Scanner {
  public:
    Scanner(FileSystem& fs, FileList& list, const ScanOptions& options)
        : fs_(fs), list_(list), options_(options) {}

    bool Cancelled() const {
        return options_.cancel != nullptr && options_.cancel->load(std::memory_order_relaxed) != 0;
    }

    // `entryPrefix` is the folder's text as entries carry it (with markers);
    // `listPath` is the same folder without markers, for the file system.
    bool Scan(std::string& entryPrefix, std::string& listPath) {
        // Names of sub-folders, NUL-separated, gathered while the folder is open.
        std::string subFolders;
        FolderSink sink(*this, entryPrefix, subFolders);
        const ListStatus status = fs_.ListFolder(listPath, sink);
        if (status == ListStatus::Failed) return false;
        if (status == ListStatus::NotListable && options_.unlistable != nullptr) {
            options_.unlistable->push_back(entryPrefix);
        }

        const size_t prefixLength = entryPrefix.size();
        const size_t listLength = listPath.size();
        for (size_t at = 0; at < subFolders.size();) {
            if (Cancelled()) break;
            const size_t end = subFolders.find('\0', at);
            const std::string_view name(subFolders.data() + at, end - at);
            at = end + 1;

            entryPrefix += kFolderMarker;
            if (options_.recordFolders)
                Added(list_.AddListed(entryPrefix, name, kFolderAttribute, 0, 0));
            if (options_.includeSubFolders) {
                AppendScanName(entryPrefix, name);
                entryPrefix.push_back('/');
                listPath.append(name).push_back('/');
                const bool ok = Scan(entryPrefix, listPath);
                listPath.resize(listLength);
                if (!ok) return false;
            }
            entryPrefix.resize(prefixLength);
        }
        return true;
    }

    int64_t added() const { return added_; }

  private:
    class FolderSink : public ListSink {
      public:
        FolderSink(Scanner& scanner, const std::string& prefix, std::string& subFolders)
            : scanner_(scanner), prefix_(prefix), subFolders_(subFolders) {}

        bool OnEntry(const DirEntryFacts& facts) override {
            if (scanner_.Cancelled()) return false;
            if ((facts.attributes & kFolderAttribute) != 0) {
                if (scanner_.options_.recordFolders || scanner_.options_.includeSubFolders) {
                    subFolders_.append(facts.name).push_back('\0');
                }
                return true;
            }
            if (IsTemporaryName(facts.name)) {
                if (scanner_.options_.leftovers != nullptr) {
                    scanner_.options_.leftovers->push_back(prefix_ + std::string(facts.name));
                }
                return true;
            }
            scanner_.Added(scanner_.list_.AddListed(prefix_, facts.name, facts.attributes,
                                                    facts.size, facts.lastWrite));
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
        std::string& subFolders_;
    };

    void Added(size_t index) {
        ++added_;
        if (options_.counter != nullptr) options_.counter->fetch_add(1, std::memory_order_relaxed);
        list_.SetCurrentName(list_.ElementAt(index).path.view());
    }

    FileSystem& fs_;
    FileList& list_;
    const ScanOptions& options_;
    int64_t added_ = 0;
};

}  // namespace

ScanResult ScanFolder(FileSystem& fs, FileList& list, const std::string& folder,
                      const ScanOptions& options) {
    Scanner scanner(fs, list, options);
    std::string entryPrefix;
    // The root is a real path: any byte in it, 0xFF included, is part of a name.
    std::string listPath = folder;
    ScanResult result;
    result.ok = scanner.Scan(entryPrefix, listPath);
    result.added = scanner.added();
    return result;
}

}  // namespace ravelmoor
