#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/FileSystem.h"

namespace ravelmoor {

// One side's file system as a synchronisation or an undo sees it: every
// look at or read of a path below the side's root goes through
// ReadFactsBelow and OpenBelow, so no object is reached through a symbolic
// link swapped into the tree since the comparison (a local side follows no
// link in any level). Everything else is the side's own file system's.
class ConfinedFileSystem : public FileSystem {
  public:
    // `root` is the side's root text, ending in '/'; `inner` outlives this.
    ConfinedFileSystem(FileSystem& inner, std::string root)
        : inner_(inner), root_(std::move(root)) {}

    ListOutcome ListFolder(const std::string& folder, ListSink& sink) override {
        return inner_.ListFolder(folder, sink);
    }
    bool ListsConcurrently() const override { return inner_.ListsConcurrently(); }
    bool ReadFacts(const std::string& path, EntryFacts& facts) override;
    // An inode number tells nothing of the object's content.
    bool ReadIdentity(const std::string& path, uint64_t& device, uint64_t& inode) override {
        return inner_.ReadIdentity(path, device, inode);
    }
    std::unique_ptr<FileReader> OpenForReading(const std::string& path,
                                               uint32_t attributes) override;
    bool ReadFactsBelow(const std::string& root, std::string_view relative,
                        EntryFacts& facts) override {
        return inner_.ReadFactsBelow(root, relative, facts);
    }
    std::unique_ptr<FileReader> OpenBelow(const std::string& root, std::string_view relative,
                                          uint32_t attributes) override {
        return inner_.OpenBelow(root, relative, attributes);
    }
    InPlaceSum SumInPlace(FileEntry& entry, std::string_view folder, uint64_t limit) override {
        return inner_.SumInPlace(entry, folder, limit);
    }
    void ExpectSums(const std::vector<const FileEntry*>& entries, std::string_view folder,
                    uint64_t limit) override {
        inner_.ExpectSums(entries, folder, limit);
    }
    size_t AskExactTimes(const std::vector<FileEntry*>& entries, std::string_view folder) override {
        return inner_.AskExactTimes(entries, folder);
    }
    bool IgnoresCase(const std::string& folder) override { return inner_.IgnoresCase(folder); }
    void Interrupt() override { inner_.Interrupt(); }

    WriteOutcome CopyIn(FileSystem& from, const std::string& fromPath, const std::string& root,
                        std::string_view relative, const CopyControl& control) override {
        return inner_.CopyIn(from, fromPath, root, relative, control);
    }
    WriteOutcome StageCopy(FileSystem& from, const std::string& fromPath, const std::string& root,
                           std::string_view relative, const CopyControl& control,
                           std::unique_ptr<StagedCopy>& staged) override {
        return inner_.StageCopy(from, fromPath, root, relative, control, staged);
    }
    void CommitCopies(std::vector<std::unique_ptr<StagedCopy>>& copies,
                      std::vector<WriteOutcome>& outcomes) override {
        inner_.CommitCopies(copies, outcomes);
    }
    WriteOutcome MakeFolder(const std::string& root, std::string_view relative) override {
        return inner_.MakeFolder(root, relative);
    }
    WriteOutcome SetFolderFacts(const std::string& root, std::string_view relative,
                                const EntryFacts& facts) override {
        return inner_.SetFolderFacts(root, relative, facts);
    }
    WriteOutcome RemoveFolder(const std::string& root, std::string_view relative) override {
        return inner_.RemoveFolder(root, relative);
    }
    bool HasTrash() const override { return inner_.HasTrash(); }
    WriteOutcome MoveToTrash(const std::string& root, std::string_view relative) override {
        return inner_.MoveToTrash(root, relative);
    }
    WriteOutcome DeletePermanently(const std::string& root, std::string_view relative) override {
        return inner_.DeletePermanently(root, relative);
    }
    bool KeepsOnServer() const override { return inner_.KeepsOnServer(); }
    WriteOutcome Rename(const std::string& root, std::string_view relative,
                        std::string_view newRelative) override {
        return inner_.Rename(root, relative, newRelative);
    }

  private:
    // The part of `path` below the root; false when it does not lie below it.
    bool Below(const std::string& path, std::string_view& relative) const;

    FileSystem& inner_;
    std::string root_;
};

}  // namespace ravelmoor
