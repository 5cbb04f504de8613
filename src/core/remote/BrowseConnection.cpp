#include "core/remote/BrowseConnection.h"

#include "core/engine/FileEntry.h"
#include "core/engine/FileSystem.h"

namespace ravelmoor {
namespace {

class ItemCollector : public ListSink {
  public:
    explicit ItemCollector(std::vector<BrowseConnection::Item>& items) : items_(items) {}
    bool OnEntry(const DirEntryFacts& facts) override {
        const bool folder = (facts.attributes & kFolderAttribute) != 0;
        // The versions a sync kept are the program's own, not a folder to pick.
        if (folder && facts.name == kVersionsFolder) return true;
        items_.push_back({std::string(facts.name), folder});
        return true;
    }

  private:
    std::vector<BrowseConnection::Item>& items_;
};

}  // namespace

ListOutcome BrowseConnection::ListInto(FileSystem& side, const std::string& folder,
                                       std::vector<Item>& items) {
    items.clear();
    ItemCollector collector(items);
    ListOutcome listed = side.ListFolder(folder, collector);
    if (!listed.Ok()) items.clear();
    return listed;
}

}  // namespace ravelmoor
