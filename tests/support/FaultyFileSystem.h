#pragma once

#include <atomic>
#include <cerrno>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/engine/FileSystem.h"
#include "core/local/LocalFileSystem.h"

namespace ravelmoor::test {

// Local folders with faults this machine cannot make on demand: a folder that
// cannot be listed, a side that fails, a file that cannot be opened or whose
// read breaks, a slow listing, a write that fails (a full disk, a folder that
// cannot be written). Rules match paths by their ending.
class FaultyFileSystem : public FileSystem {
  public:
    void FailListing(const std::string& pathEnd, ListStatus status) { listing_[pathEnd] = status; }
    void FailOpen(const std::string& pathEnd) { failOpen_[pathEnd] = true; }
    // Reads of the file fail once `bytes` bytes have been delivered.
    void FailReadAfter(const std::string& pathEnd, int64_t bytes) { failRead_[pathEnd] = bytes; }
    // Every listed entry takes this long (for cancel tests).
    void SlowEntries(std::chrono::microseconds delay) { delay_ = delay; }
    // Copies to (and folders made at) the path fail with the system error
    // `error`, leaving everything as it was.
    void FailWrite(const std::string& pathEnd, int error) { failWrite_[pathEnd] = error; }
    // After the first piece of the file is read, `change` runs once (it
    // rewrites, shrinks or grows the file on disk meanwhile).
    void ChangeWhileReading(const std::string& pathEnd, std::function<void()> change) {
        changeWhileReading_[pathEnd] = std::move(change);
    }
    // The flush of a group of staged copies that holds a copy to the path
    // fails with the system error `error`: the whole group fails.
    void FailFlush(const std::string& pathEnd, int error) { failFlush_[pathEnd] = error; }
    // Groups committed so far, and the copies each held.
    const std::vector<size_t>& Groups() const { return groups_; }
    // Looking the path up fails with the system error `error`.
    void FailFacts(const std::string& pathEnd, int error) { failFacts_[pathEnd] = error; }

    // The file system looks names up without regard to case (a FAT stick).
    void IgnoreCase() { ignoresCase_ = true; }
    // The side has no trash, as a server has none.
    void NoTrash() { hasTrash_ = false; }
    bool HasTrash() const override { return hasTrash_; }

    int Interrupts() const { return interrupts_.load(); }

    ListOutcome ListFolder(const std::string& folder, ListSink& sink) override;
    bool ReadFacts(const std::string& path, EntryFacts& facts) override;
    std::unique_ptr<FileReader> OpenForReading(const std::string& path,
                                               uint32_t attributes) override;
    void Interrupt() override { interrupts_.fetch_add(1); }
    bool IgnoresCase(const std::string& folder) override {
        return ignoresCase_ || local_.IgnoresCase(folder);
    }

    WriteOutcome CopyIn(FileSystem& from, const std::string& fromPath, const std::string& root,
                        std::string_view relative, const CopyControl& control) override;
    WriteOutcome StageCopy(FileSystem& from, const std::string& fromPath, const std::string& root,
                           std::string_view relative, const CopyControl& control,
                           std::unique_ptr<StagedCopy>& staged) override;
    void CommitCopies(std::vector<std::unique_ptr<StagedCopy>>& copies,
                      std::vector<WriteOutcome>& outcomes) override;
    WriteOutcome MakeFolder(const std::string& root, std::string_view relative) override;
    WriteOutcome RemoveFolder(const std::string& root, std::string_view relative) override {
        return local_.RemoveFolder(root, relative);
    }
    WriteOutcome MoveToTrash(const std::string& root, std::string_view relative) override {
        return local_.MoveToTrash(root, relative);
    }
    WriteOutcome DeletePermanently(const std::string& root, std::string_view relative) override {
        return local_.DeletePermanently(root, relative);
    }

  private:
    bool WriteFault(const std::string& root, std::string_view relative,
                    WriteOutcome& outcome) const;

    template <typename Map>
    static auto Find(const Map& rules, const std::string& path) {
        for (auto it = rules.begin(); it != rules.end(); ++it) {
            if (path.size() >= it->first.size() &&
                path.compare(path.size() - it->first.size(), it->first.size(), it->first) == 0) {
                return it;
            }
        }
        return rules.end();
    }

    LocalFileSystem local_;
    std::map<std::string, ListStatus> listing_;
    std::map<std::string, bool> failOpen_;
    std::map<std::string, int64_t> failRead_;
    std::map<std::string, int> failWrite_;
    std::map<std::string, int> failFacts_;
    std::map<std::string, int> failFlush_;
    std::map<const StagedCopy*, std::string> stagedPaths_;
    std::vector<size_t> groups_;
    std::map<std::string, std::function<void()>> changeWhileReading_;
    std::chrono::microseconds delay_{0};
    std::atomic<int> interrupts_{0};
    bool ignoresCase_ = false;
    bool hasTrash_ = true;
};

}  // namespace ravelmoor::test
