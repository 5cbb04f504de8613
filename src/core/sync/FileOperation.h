#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/FileSystem.h"
#include "core/sync/ActionRecorder.h"

namespace ravelmoor {

class Prompter;
class ProgressText;

// What the synchronisation changed, for its summary.
struct SyncTally {
    uint64_t filesCopied = 0;  // files and symbolic links
    uint64_t bytesCopied = 0;
    uint64_t foldersMade = 0;
    uint64_t movedToTrash = 0;
    uint64_t replacedToTrash = 0;       // old versions of replaced files
    uint64_t keptOnServer = 0;          // deleted objects kept in a server's versions folder
    uint64_t replacedKeptOnServer = 0;  // old versions of replaced files kept there
    uint64_t deletedForGood = 0;
    uint64_t replacedForGood = 0;  // old versions of replaced files where no trash took them
    uint64_t foldersRemoved = 0;
    uint64_t notDone = 0;  // objects declined, refused, changed or failed
    uint64_t changed = 0;  // of those: left alone because they changed since the comparison
};

// What the comparison saw of one object, checked again just before the
// object is changed: an object that is no longer so is left as it is.
struct SeenState {
    bool present = false;
    uint32_t attributes = 0;
    uint64_t size = 0;
    int64_t lastWrite = 0;

    static SeenState Of(const FileEntry& entry);
    // Whether `facts` (or nothing, when `exists` is false) is what was seen.
    // A folder is only checked to be a folder still.
    bool Matches(bool exists, const EntryFacts& facts) const;
};

// One side of a batch: its file system and its root, below which every path
// of the batch must lie.
struct BatchSide {
    FileSystem& fs;
    const std::string& root;
};

// What became of each object of a batch.
enum class ItemResult : uint8_t { NotReached, Done, Declined, Changed, Failed, Refused };

// Told what became of each object of a batch as soon as that is settled, so
// that a report or a log can say it as it happens. `index` is the object's
// place in the batch; `reason` says why an object was not done, in the
// system's words (empty when there is nothing to add). A folder that was made
// may be settled again when its mode and time can not be set: the last word
// holds. An object the batch never reached is not reported.
class ItemObserver {
  public:
    virtual ~ItemObserver() = default;
    virtual void Settled(size_t index, ItemResult result, std::string_view reason) = 0;
};

// Copies or deletes a batch of objects named by full paths, asking the user
// what the batch needs (before overwriting, before moving to the trash or
// keeping on the server, where no trash takes an object, after a failure). Folders are made, never
// copied with their content; they are removed only when they are empty, deepest first, after every
// file of the batch has gone.
class FileOperation {
  public:
    FileOperation(Prompter& prompter, SyncTally& tally) : prompter_(prompter), tally_(tally) {}

    // Checked between objects and between pieces of a file: ends the batch as
    // a Cancel answer does.
    void SetCancelWord(const std::atomic<int32_t>* cancel) { cancel_ = cancel; }
    // Shows the path of the object being worked on.
    void SetProgress(ProgressText* progress) { progress_ = progress; }
    // What the comparison saw at each from-path and to-path of the next
    // batch (a delete uses `from` alone); without it nothing is checked.
    void Expect(std::vector<SeenState> from, std::vector<SeenState> to) {
        seenFrom_ = std::move(from);
        seenTo_ = std::move(to);
    }
    // Whether a replaced file's old version goes to the trash (the default).
    void SetKeepReplaced(bool keep) { keepReplaced_ = keep; }
    // Whether each copy is checked before it goes in place (the default).
    void SetVerify(bool verify) { verify_ = verify; }
    // Told what became of each object (none by default).
    void SetObserver(ItemObserver* observer) { observer_ = observer; }
    // Told about each change before it is made and after (none by default).
    void SetRecorder(ActionRecorder* recorder) { recorder_ = recorder; }

    // Copies fromPaths[i] of `from` to toPaths[i] of `to`, making missing
    // folders. Files are staged and put in place in groups of up to
    // kGroupCopies copies or kGroupBytes bytes, after one flush for the group
    // (FileSystem::CommitCopies); a failed flush fails the group's objects.
    // Each object is checked just before it is copied: one that
    // cannot be reached ("Can not access file: " and the path in double
    // quotes) or that changed since the comparison is left out and the batch
    // goes on. Returns whether anything may have changed: false when the
    // batch was stopped with nothing changed (no toPaths[i] exists).
    bool Copy(BatchSide from, BatchSide to, const std::vector<std::string>& fromPaths,
              const std::vector<std::string>& toPaths);

    // Moves the files and links among `paths` to the trash, then removes the
    // folders among them that are empty. Returns whether anything may have
    // changed, as Copy does (stopped: whether some path is gone).
    bool Delete(BatchSide side, const std::vector<std::string>& paths);

    // The batch was stopped by a Cancel answer or the cancel word.
    bool Aborted() const { return aborted_; }
    const std::vector<ItemResult>& Results() const { return results_; }

    static constexpr size_t kGroupCopies = 64;
    static constexpr uint64_t kGroupBytes = uint64_t{64} << 20;

  private:
    // A copy written under its temporary name, waiting for its group.
    struct PendingCopy {
        size_t index = 0;
        std::unique_ptr<StagedCopy> copy;
        bool overwrittenForGood = false;
    };

    // Reads the facts of paths[index] and checks them against what was seen;
    // false (the object settled as not done) when it is not to be touched.
    // An object the batch acts on itself (seen is seenFrom_) that is there
    // but can not be reached is a failure; anything else that differs has
    // changed since the comparison.
    bool Check(FileSystem& fs, const std::vector<std::string>& paths, size_t index,
               const std::vector<SeenState>& seen, EntryFacts& facts, bool& exists);
    // Copies one object, or stages it: `pending.copy` is then set and the
    // outcome is settled when its group is committed.
    WriteOutcome CopyOne(BatchSide from, BatchSide to, const std::string& fromPath,
                         const std::string& toPath, bool exists, bool& replaceAll,
                         PendingCopy& pending);
    // Puts the staged copies in place and settles their objects.
    void CommitGroup(FileSystem& to, const std::vector<std::string>& fromPaths,
                     const std::vector<std::string>& toPaths);
    // Counts a copy that is in place.
    void CountCopied(const WriteOutcome& outcome, bool overwrittenForGood);
    WriteOutcome DeleteOne(BatchSide side, const std::string& path, bool& forGoodToAll);
    // Where no trash takes `path`: asks (once for all with Yes to all)
    // whether it goes for good. False, with `outcome` saying how, when not.
    bool AllowForGood(const std::string& path, const std::string& why, bool& forGoodToAll,
                      WriteOutcome& outcome);
    // Records an outcome; false when the batch must stop.
    bool Settle(size_t index, const WriteOutcome& outcome, const std::string& failureText);
    // Records an object left alone because it changed since the comparison.
    bool SettleChanged(size_t index, const std::string& path);
    bool CancelRequested() const;
    void Show(const std::string& path);
    // Tells the observer (and the recorder) what became of paths[index].
    void Report(size_t index, std::string_view reason) const;
    // Records that paths[index] of `side` is about to change. False, with
    // the object settled as failed and the batch stopped, when the record
    // could not be written: nothing changes that could not be undone.
    bool BeginAction(size_t index, ActionKind kind, BatchSide side, const std::string& path,
                     bool exists, const EntryFacts& before, const EntryFacts& expected);

    Prompter& prompter_;
    SyncTally& tally_;
    const std::atomic<int32_t>* cancel_ = nullptr;
    ProgressText* progress_ = nullptr;
    ItemObserver* observer_ = nullptr;
    ActionRecorder* recorder_ = nullptr;
    std::vector<size_t> actions_;  // the recorder's number of each object's change
    size_t currentAction_ = ActionRecorder::kNoAction;  // of the copy being staged
    std::vector<ItemResult> results_;
    std::vector<SeenState> seenFrom_;
    std::vector<SeenState> seenTo_;
    bool keepReplaced_ = true;
    bool verify_ = true;
    bool forGoodToAll_ = false;     // replacements without a trash, Yes to all
    bool asidesCancelled_ = false;  // a replacement question was answered Cancel
    std::vector<PendingCopy> group_;
    uint64_t groupBytes_ = 0;
    bool aborted_ = false;
};

// Makes every missing folder of `path` up to its last '/'.
WriteOutcome CreateFolderPath(BatchSide side, std::string_view path);

}  // namespace ravelmoor
