#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/FileSystem.h"

namespace ravelmoor {

class Prompter;
class ProgressText;

// What the synchronisation changed, for its summary.
struct SyncTally {
    uint64_t filesCopied = 0;  // files and symbolic links
    uint64_t bytesCopied = 0;
    uint64_t foldersMade = 0;
    uint64_t movedToTrash = 0;
    uint64_t deletedForGood = 0;
    uint64_t foldersRemoved = 0;
    uint64_t notDone = 0;  // objects declined, refused or failed
};

// One side of a batch: its file system and its root, below which every path
// of the batch must lie.
struct BatchSide {
    FileSystem& fs;
    const std::string& root;
};

// What became of each object of a batch.
enum class ItemResult : uint8_t { NotReached, Done, Declined, Failed, Refused };

// Copies or deletes a batch of objects named by full paths, asking the user
// what the batch needs (before overwriting, before moving to the trash, where
// no trash takes an object, after a failure). Folders are made, never copied
// with their content; they are removed only when they are empty, deepest
// first, after every file of the batch has gone.
class FileOperation {
  public:
    FileOperation(Prompter& prompter, SyncTally& tally) : prompter_(prompter), tally_(tally) {}

    // Checked between objects and between pieces of a file: ends the batch as
    // a Cancel answer does.
    void SetCancelWord(const std::atomic<int32_t>* cancel) { cancel_ = cancel; }
    // Shows the path of the object being worked on.
    void SetProgress(ProgressText* progress) { progress_ = progress; }

    // Copies fromPaths[i] of `from` to toPaths[i] of `to`, making missing
    // folders. Returns whether anything may have changed: true unless the
    // batch did not start (a from-path that cannot be reached: "Can not access
    // file: " and the path in double quotes) or was stopped with nothing
    // changed (no toPaths[i] exists).
    bool Copy(BatchSide from, BatchSide to, const std::vector<std::string>& fromPaths,
              const std::vector<std::string>& toPaths);

    // Moves the files and links among `paths` to the trash, then removes the
    // folders among them that are empty. Returns whether anything may have
    // changed, as Copy does (stopped: whether some path is gone).
    bool Delete(BatchSide side, const std::vector<std::string>& paths);

    // The batch was stopped by a Cancel answer or the cancel word.
    bool Aborted() const { return aborted_; }
    const std::vector<ItemResult>& Results() const { return results_; }

  private:
    bool CheckAccess(FileSystem& fs, const std::vector<std::string>& paths,
                     std::vector<EntryFacts>& facts);
    WriteOutcome CopyOne(BatchSide from, BatchSide to, const std::string& fromPath,
                         const std::string& toPath, bool& replaceAll);
    WriteOutcome DeleteOne(BatchSide side, const std::string& path, bool& forGoodToAll);
    // Records an outcome; false when the batch must stop.
    bool Settle(size_t index, const WriteOutcome& outcome, const std::string& failureText);
    bool CancelRequested() const;
    void Show(const std::string& path);

    Prompter& prompter_;
    SyncTally& tally_;
    const std::atomic<int32_t>* cancel_ = nullptr;
    ProgressText* progress_ = nullptr;
    std::vector<ItemResult> results_;
    bool aborted_ = false;
};

// Makes every missing folder of `path` up to its last '/'.
WriteOutcome CreateFolderPath(BatchSide side, std::string_view path);

}  // namespace ravelmoor
