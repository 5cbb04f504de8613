#include "sync/FileOperation.h"

#include "engine/FileEntry.h"
#include "engine/FolderComparer.h"
#include "engine/Prompter.h"

namespace ravelmoor {
namespace {

constexpr std::string_view kGoOnOrStop =
    R"( Press "OK" to continue with the next object. Press "CANCEL" to stop.)";

std::string Quoted(std::string_view path) {
    std::string text;
    text.reserve(path.size() + 2);
    return text.append("\"").append(path).append("\"");
}

// The part of `path` below `root`; false when the path does not lie below it.
bool Below(const std::string& root, std::string_view path, std::string_view& relative) {
    if (path.size() <= root.size() || path.compare(0, root.size(), root) != 0) return false;
    relative = path.substr(root.size());
    return true;
}

WriteOutcome OutsideRoot(const std::string& root) {
    return WriteOutcome(WriteStatus::Refused, "it does not lie below " + Quoted(root));
}

// Whether to go ahead after a question about one object. No keeps `outcome`
// (Settle counts it as declined); Cancel makes it Cancelled.
bool GoAhead(BatchAnswer answer, bool& toAll, WriteOutcome& outcome) {
    switch (answer) {
        case BatchAnswer::YesToAll:
            toAll = true;
            return true;
        case BatchAnswer::Yes:
            return true;
        case BatchAnswer::Cancel:
            outcome = WriteOutcome(WriteStatus::Cancelled);
            return false;
        case BatchAnswer::No:
            break;
    }
    return false;
}

}  // namespace

WriteOutcome CreateFolderPath(BatchSide side, std::string_view path) {
    const size_t slash = path.rfind('/');
    const std::string_view folder = slash == std::string_view::npos ? path : path.substr(0, slash);
    if (folder.size() + 1 == side.root.size() && side.root.compare(0, folder.size(), folder) == 0) {
        return WriteOutcome(WriteStatus::Exists);  // the root itself
    }
    std::string_view relative;
    if (!Below(side.root, folder, relative)) return OutsideRoot(side.root);
    return side.fs.MakeFolder(side.root, relative);
}

bool FileOperation::CancelRequested() const {
    return cancel_ != nullptr && cancel_->load(std::memory_order_relaxed) != 0;
}

void FileOperation::Show(const std::string& path) {
    if (progress_ != nullptr) progress_->Show(path);
}

bool FileOperation::CheckAccess(FileSystem& fs, const std::vector<std::string>& paths,
                                std::vector<EntryFacts>& facts) {
    facts.assign(paths.size(), EntryFacts());
    for (size_t i = 0; i < paths.size(); ++i) {
        if (!fs.ReadFacts(paths[i], facts[i])) {
            prompter_.Warn("Can not access file: " + Quoted(paths[i]));
            return false;
        }
    }
    return true;
}

bool FileOperation::Settle(size_t index, const WriteOutcome& outcome,
                           const std::string& failureText) {
    switch (outcome.status) {
        case WriteStatus::Done:
            results_[index] = ItemResult::Done;
            return true;
        case WriteStatus::Exists:   // an overwrite the user declined
        case WriteStatus::NoTrash:  // a deletion for good the user declined
            results_[index] = ItemResult::Declined;
            ++tally_.notDone;
            return true;
        case WriteStatus::Cancelled:
            aborted_ = true;
            return false;
        case WriteStatus::Refused:
        case WriteStatus::NotEmpty:
        case WriteStatus::Failed:
            break;
    }
    results_[index] =
        outcome.status == WriteStatus::Refused ? ItemResult::Refused : ItemResult::Failed;
    ++tally_.notDone;
    const std::string text = failureText + ": " + outcome.reason + "." + std::string(kGoOnOrStop);
    if (prompter_.AskOkCancel(text)) return true;
    aborted_ = true;
    return false;
}

WriteOutcome FileOperation::CopyOne(BatchSide from, BatchSide to, const std::string& fromPath,
                                    const std::string& toPath, bool& replaceAll) {
    std::string_view relative;
    if (!Below(to.root, toPath, relative)) return OutsideRoot(to.root);
    CopyControl control;
    control.replaceExisting = replaceAll;
    control.cancel = cancel_;
    WriteOutcome outcome = to.fs.CopyIn(from.fs, fromPath, to.root, relative, control);
    if (outcome.status == WriteStatus::Exists) {
        const std::string question = Quoted(toPath) +
                                     " already exists. Do you want to replace it with " +
                                     Quoted(fromPath) + "?";
        if (!GoAhead(prompter_.AskOverwrite(question), replaceAll, outcome)) return outcome;
        control.replaceExisting = true;
        outcome = to.fs.CopyIn(from.fs, fromPath, to.root, relative, control);
    }
    if (outcome.status == WriteStatus::Done) {
        ++tally_.filesCopied;
        tally_.bytesCopied += outcome.bytes;
    }
    return outcome;
}

bool FileOperation::Copy(BatchSide from, BatchSide to, const std::vector<std::string>& fromPaths,
                         const std::vector<std::string>& toPaths) {
    results_.assign(fromPaths.size(), ItemResult::NotReached);
    aborted_ = false;
    std::vector<EntryFacts> facts;
    if (fromPaths.size() != toPaths.size() || !CheckAccess(from.fs, fromPaths, facts)) {
        return false;
    }

    bool replaceAll = false;
    for (size_t i = 0; i < fromPaths.size(); ++i) {
        if (CancelRequested()) {
            aborted_ = true;
            break;
        }
        Show(fromPaths[i]);
        WriteOutcome outcome;
        std::string failureText;
        if (facts[i].IsFolder()) {
            outcome = CreateFolderPath(to, toPaths[i] + "/");
            if (outcome.status == WriteStatus::Done) ++tally_.foldersMade;
            if (outcome.status == WriteStatus::Exists) outcome.status = WriteStatus::Done;
            failureText = "Can not make the folder " + Quoted(toPaths[i]);
        } else {
            outcome = CopyOne(from, to, fromPaths[i], toPaths[i], replaceAll);
            failureText = "Can not copy " + Quoted(fromPaths[i]) + " to " + Quoted(toPaths[i]);
        }
        if (!Settle(i, outcome, failureText)) break;
    }
    if (!aborted_) return true;
    // A stopped batch changed something only if some destination is there.
    for (const auto& path : toPaths) {
        EntryFacts there;
        if (to.fs.ReadFacts(path, there)) return true;
    }
    return false;
}

WriteOutcome FileOperation::DeleteOne(BatchSide side, const std::string& path, bool& forGoodToAll) {
    std::string_view relative;
    if (!Below(side.root, path, relative)) return OutsideRoot(side.root);
    WriteOutcome outcome = side.fs.MoveToTrash(side.root, relative);
    if (outcome.status == WriteStatus::Done) {
        ++tally_.movedToTrash;
        return outcome;
    }
    if (outcome.status != WriteStatus::NoTrash) return outcome;
    if (!forGoodToAll) {
        const std::string question = Quoted(path) + " can not be moved to the trash (" +
                                     outcome.reason + "). Do you want to delete it permanently?";
        if (!GoAhead(prompter_.AskDeletePermanently(question), forGoodToAll, outcome)) {
            return outcome;
        }
    }
    outcome = side.fs.DeletePermanently(side.root, relative);
    if (outcome.status == WriteStatus::Done) ++tally_.deletedForGood;
    return outcome;
}

bool FileOperation::Delete(BatchSide side, const std::vector<std::string>& paths) {
    results_.assign(paths.size(), ItemResult::NotReached);
    aborted_ = false;
    std::vector<EntryFacts> facts;
    if (!CheckAccess(side.fs, paths, facts)) return false;

    size_t files = 0;
    size_t lastFile = 0;
    for (size_t i = 0; i < paths.size(); ++i) {
        if (!facts[i].IsFolder()) {
            ++files;
            lastFile = i;
        }
    }
    bool forGoodToAll = false;
    if (files > 0 && side.fs.HasTrash()) {
        const std::string question =
            files == 1
                ? "Are you sure you want to move " + Quoted(paths[lastFile]) + " to the trash?"
                : "Are you sure you want to move these " + std::to_string(files) +
                      " objects to the trash?";
        if (!prompter_.AskMoveToTrash(question)) aborted_ = true;
    } else if (files > 0) {
        const std::string question =
            (files == 1
                 ? "Are you sure you want to delete " + Quoted(paths[lastFile])
                 : "Are you sure you want to delete these " + std::to_string(files) + " objects") +
            " permanently? There is no trash to get them back from.";
        const BatchAnswer answer = prompter_.AskDeletePermanently(question);
        forGoodToAll = answer == BatchAnswer::Yes || answer == BatchAnswer::YesToAll;
        aborted_ = !forGoodToAll;
    }

    bool failed = false;
    for (size_t i = 0; i < paths.size() && !aborted_; ++i) {
        if (facts[i].IsFolder()) continue;
        if (CancelRequested()) {
            aborted_ = true;
            break;
        }
        Show(paths[i]);
        const WriteOutcome outcome = DeleteOne(side, paths[i], forGoodToAll);
        const bool goOn = Settle(i, outcome, "Can not delete " + Quoted(paths[i]));
        if (results_[i] != ItemResult::Done) failed = true;
        if (!goOn) break;
    }

    // Folders go only after every file did, deepest first: a folder comes
    // before its content in the rows, so walk backwards.
    if (!aborted_ && !failed) {
        for (size_t i = paths.size(); i-- > 0;) {
            if (!facts[i].IsFolder()) continue;
            Show(paths[i]);
            std::string_view relative;
            WriteOutcome outcome = Below(side.root, paths[i], relative)
                                       ? side.fs.RemoveFolder(side.root, relative)
                                       : OutsideRoot(side.root);
            if (outcome.status == WriteStatus::Done) {
                ++tally_.foldersRemoved;
                results_[i] = ItemResult::Done;
            } else {
                // Still holds objects the batch did not delete (excluded ones, say):
                // its row goes on showing it.
                results_[i] = outcome.status == WriteStatus::Refused ? ItemResult::Refused
                                                                     : ItemResult::Failed;
                ++tally_.notDone;
            }
        }
    }
    if (!aborted_) return true;
    for (const auto& path : paths) {
        EntryFacts there;
        if (!side.fs.ReadFacts(path, there)) return true;
    }
    return false;
}

}  // namespace ravelmoor
