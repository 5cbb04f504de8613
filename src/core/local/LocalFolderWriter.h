#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/engine/FileSystem.h"
#include "core/local/FreedesktopTrash.h"

namespace ravelmoor {

// The write side of the local folders of this machine: copies through a
// temporary file and one rename (a group of staged copies flushed once,
// then renamed into place), folders made and removed, the freedesktop.org
// trash, deletion for good. Symbolic links are never followed below a root
// that is written to. LocalFileSystem adds the reading side.
class LocalFolderWriter : public FileSystem {
  public:
    WriteOutcome CopyIn(FileSystem& from, const std::string& fromPath, const std::string& root,
                        std::string_view relative, const CopyControl& control) override;
    // Stages a file (LocalStagedCopy); a link is copied at once.
    WriteOutcome StageCopy(FileSystem& from, const std::string& fromPath, const std::string& root,
                           std::string_view relative, const CopyControl& control,
                           std::unique_ptr<StagedCopy>& staged) override;
    // Takes only copies staged by a LocalFolderWriter. The trash info files
    // of the replaced destinations are written before the group's flush and
    // used by MoveToTrash when the copies' setAside calls it.
    void CommitCopies(std::vector<std::unique_ptr<StagedCopy>>& copies,
                      std::vector<WriteOutcome>& outcomes) override;
    WriteOutcome MakeFolder(const std::string& root, std::string_view relative) override;
    WriteOutcome SetFolderFacts(const std::string& root, std::string_view relative,
                                const EntryFacts& facts) override;
    WriteOutcome RemoveFolder(const std::string& root, std::string_view relative) override;
    WriteOutcome MoveToTrash(const std::string& root, std::string_view relative) override;
    WriteOutcome DeletePermanently(const std::string& root, std::string_view relative) override;
    WriteOutcome Rename(const std::string& root, std::string_view from,
                        std::string_view to) override;

    // A cancel word that MoveToTrash looks at while it seeks a free name in
    // the trash; none by default.
    void SetTrashCancel(const std::atomic<int32_t>* cancel) { trashCancel_ = cancel; }

  private:
    const std::atomic<int32_t>* trashCancel_ = nullptr;
    // Names taken in the trash, with their info files, during CommitCopies.
    std::vector<TrashReservation> reserved_;
};

}  // namespace ravelmoor
