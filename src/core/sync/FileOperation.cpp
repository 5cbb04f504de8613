#include "core/sync/FileOperation.h"

#include <cerrno>

#include "core/engine/FileEntry.h"
#include "core/engine/ProgressText.h"
#include "core/engine/Prompter.h"
#include "core/engine/TimestampRule.h"
#include "core/local/BelowRoot.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

std::string Quoted(std::string_view path) {
    std::string text;
    text.reserve(path.size() + 2);
    return text.append("\"").append(path).append("\"");
}

std::string CanNotAccess(std::string_view path) {
    return FillIn(QCoreApplication::translate("FileOperation", "Can not access file: %1"),
                  {Quoted(path)});
}

// The part of `path` below `root`; false when the path does not lie below it.
bool Below(const std::string& root, std::string_view path, std::string_view& relative) {
    if (path.size() <= root.size() || path.compare(0, root.size(), root) != 0) return false;
    relative = path.substr(root.size());
    return true;
}

WriteOutcome OutsideRoot(const std::string& root) {
    return WriteOutcome(
        WriteStatus::Refused,
        FillIn(QCoreApplication::translate("FileOperation", "it does not lie below %1"),
               {Quoted(root)}));
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

std::string ReplaceQuestion(const std::string& fromPath, const std::string& toPath) {
    return FillIn(QCoreApplication::translate(
                      "FileOperation", "%1 already exists. Do you want to replace it with %2?"),
                  {Quoted(toPath), Quoted(fromPath)});
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

void FileOperation::Report(size_t index, std::string_view reason) const {
    if (observer_ != nullptr) observer_->Settled(index, results_[index], reason);
    if (recorder_ != nullptr && index < actions_.size() &&
        actions_[index] != ActionRecorder::kNoAction) {
        recorder_->End(actions_[index], results_[index] == ItemResult::Done);
    }
}

bool FileOperation::BeginAction(size_t index, ActionKind kind, BatchSide side,
                                const std::string& path, bool exists, const EntryFacts& before,
                                const EntryFacts& expected) {
    if (recorder_ == nullptr) return true;
    if (actions_.size() < results_.size())
        actions_.resize(results_.size(), ActionRecorder::kNoAction);
    actions_[index] = recorder_->Begin(kind, side.fs, side.root, path, exists, before, expected);
    const std::string broken = recorder_->Broken();
    if (broken.empty()) return true;
    actions_[index] = ActionRecorder::kNoAction;
    results_[index] = ItemResult::Failed;
    ++tally_.notDone;
    aborted_ = true;
    Report(index, broken);
    return false;
}

SeenState SeenState::Of(const FileEntry& entry) {
    SeenState seen;
    seen.present = !entry.IsBlank();
    seen.attributes = entry.attributes;
    seen.size = entry.size;
    seen.lastWrite = entry.lastWrite;
    return seen;
}

bool SeenState::Matches(bool exists, const EntryFacts& facts) const {
    if (exists != present) return false;
    if (!exists) return true;
    constexpr uint32_t kKind = kFolderAttribute | kSymlinkAttribute;
    if ((facts.attributes & kKind) != (attributes & kKind)) return false;
    // A server that lists times to the minute gives the same minute again.
    return (attributes & kFolderAttribute) != 0 ||
           (facts.size == size &&
            TimesMayBeEqual(facts.lastWrite, facts.attributes, lastWrite, attributes));
}

bool FileOperation::Check(FileSystem& fs, const std::vector<std::string>& paths, size_t index,
                          const std::vector<SeenState>& seen, EntryFacts& facts, bool& exists) {
    facts = EntryFacts();
    errno = 0;
    exists = fs.ReadFacts(paths[index], facts);
    const int error = errno;
    if (index >= seen.size()) return true;
    if (seen[index].Matches(exists, facts)) return true;
    if (!exists && seen[index].present && &seen == &seenFrom_ && error != 0 && error != ENOENT) {
        // The object to copy or delete is there but can not be reached: a
        // link swapped in on its way is never followed.
        const WriteOutcome why =
            error == ELOOP
                ? WriteOutcome(WriteStatus::Refused,
                               FillIn(QCoreApplication::translate(
                                   "FileOperation", "a symbolic link is on the way to it")))
                : WriteOutcome(WriteStatus::Failed, ErrorText(error));
        Settle(index, why, CanNotAccess(paths[index]));
        return false;
    }
    SettleChanged(index, paths[index]);
    return false;
}

bool FileOperation::Settle(size_t index, const WriteOutcome& outcome,
                           const std::string& failureText) {
    switch (outcome.status) {
        case WriteStatus::Done:
            results_[index] = ItemResult::Done;
            Report(index, {});
            return true;
        case WriteStatus::Exists:   // an overwrite the user declined
        case WriteStatus::NoTrash:  // a deletion for good the user declined
            results_[index] = ItemResult::Declined;
            ++tally_.notDone;
            Report(index, outcome.reason);
            return true;
        case WriteStatus::Cancelled:
            // The person's answer comes with the rest of the stopped rows;
            // the journal hears now that this change was not made, so that
            // `history` counts what the summary counts.
            if (recorder_ != nullptr && index < actions_.size() &&
                actions_[index] != ActionRecorder::kNoAction) {
                recorder_->End(actions_[index], false);
                actions_[index] = ActionRecorder::kNoAction;
            }
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
    Report(index, outcome.reason);
    const std::string text = FillIn(
        QCoreApplication::translate(
            "FileOperation",
            // NOLINTNEXTLINE(modernize-raw-string-literal)
            "%1: %2. Press \"OK\" to continue with the next object. Press \"CANCEL\" to stop."),
        {failureText, outcome.reason});
    if (prompter_.AskOkCancel(text)) return true;
    aborted_ = true;
    return false;
}

bool FileOperation::SettleChanged(size_t index, const std::string& path) {
    results_[index] = ItemResult::Changed;
    ++tally_.notDone;
    ++tally_.changed;
    Report(index,
           FillIn(QCoreApplication::translate("FileOperation", "it changed since the comparison")));
    const std::string text = FillIn(
        QCoreApplication::translate("FileOperation",
                                    "%1 changed since the comparison; left as it is. Press \"OK\" "
                                    "to continue with the next object. Press \"CANCEL\" to stop."),
        {Quoted(path)});
    if (prompter_.AskOkCancel(text)) return true;
    aborted_ = true;
    return false;
}

bool FileOperation::AllowForGood(const std::string& path, const std::string& why,
                                 bool& forGoodToAll, WriteOutcome& outcome) {
    if (forGoodToAll) return true;
    outcome = WriteOutcome(WriteStatus::NoTrash, why);
    const std::string question =
        FillIn(QCoreApplication::translate(
                   "FileOperation",
                   "%1 can not be moved to the trash (%2). Do you want to delete it permanently?"),
               {Quoted(path), why});
    return GoAhead(prompter_.AskDeletePermanently(question), forGoodToAll, outcome);
}

WriteOutcome FileOperation::CopyOne(BatchSide from, BatchSide to, const std::string& fromPath,
                                    const std::string& toPath, bool exists, bool& replaceAll,
                                    PendingCopy& pending) {
    std::string_view relative;
    if (!Below(to.root, toPath, relative)) return OutsideRoot(to.root);
    CopyControl control;
    control.replaceExisting = replaceAll;
    control.cancel = cancel_;
    control.verify = verify_;
    if (progress_ != nullptr) control.moved = [this](uint64_t bytes) { progress_->Moved(bytes); };
    // Whether to replace comes first: the question about the old version
    // only matters once the user wants it replaced.
    if (exists && !control.replaceExisting) {
        WriteOutcome declined(WriteStatus::Exists);
        if (!GoAhead(prompter_.AskOverwrite(ReplaceQuestion(fromPath, toPath)), replaceAll,
                     declined)) {
            return declined;
        }
        control.replaceExisting = true;
    }
    // Counted once the copy is in: a failed copy left the old version alone.
    bool overwrittenForGood = false;
    if (exists && keepReplaced_) {
        // The old version goes where a deleted file would go; asked about
        // before any data moves where no trash takes it.
        WriteOutcome refused;
        if (!to.fs.HasTrash()) {
            if (!AllowForGood(
                    toPath,
                    FillIn(QCoreApplication::translate("FileOperation", "there is no trash")),
                    forGoodToAll_, refused)) {
                return refused;
            }
            overwrittenForGood = true;
        } else {
            // Runs when the group is committed: everything it refers to
            // outlives the batch's copy loop.
            control.setAside = [this, to, relative, &toPath, action = currentAction_]() {
                if (asidesCancelled_) return WriteOutcome(WriteStatus::Cancelled);
                // Where the old version goes must be written down first.
                if (recorder_ != nullptr && !recorder_->Broken().empty()) {
                    return WriteOutcome(WriteStatus::Failed, recorder_->Broken());
                }
                WriteOutcome aside = to.fs.MoveToTrash(to.root, relative);
                if (aside.status == WriteStatus::Done) {
                    ++(to.fs.KeepsOnServer() ? tally_.replacedKeptOnServer
                                             : tally_.replacedToTrash);
                    if (recorder_ != nullptr && action != ActionRecorder::kNoAction) {
                        recorder_->Trashed(action, aside.trashedTo);
                    }
                } else if (aside.status == WriteStatus::NoTrash &&
                           AllowForGood(toPath, aside.reason, forGoodToAll_, aside)) {
                    aside = WriteOutcome();
                    ++tally_.replacedForGood;
                }
                if (aside.status == WriteStatus::Cancelled) asidesCancelled_ = true;
                return aside;
            };
        }
    }
    WriteOutcome outcome =
        to.fs.StageCopy(from.fs, fromPath, to.root, relative, control, pending.copy);
    if (outcome.status == WriteStatus::Exists) {
        // It came after the check.
        if (!GoAhead(prompter_.AskOverwrite(ReplaceQuestion(fromPath, toPath)), replaceAll,
                     outcome)) {
            return outcome;
        }
        control.replaceExisting = true;
        outcome = to.fs.StageCopy(from.fs, fromPath, to.root, relative, control, pending.copy);
    }
    pending.overwrittenForGood = overwrittenForGood;
    if (outcome.status == WriteStatus::Done && !pending.copy) {
        CountCopied(outcome, overwrittenForGood);
    }
    return outcome;
}

void FileOperation::CountCopied(const WriteOutcome& outcome, bool overwrittenForGood) {
    ++tally_.filesCopied;
    tally_.bytesCopied += outcome.bytes;
    if (overwrittenForGood) ++tally_.replacedForGood;
}

void FileOperation::CommitGroup(FileSystem& to, const std::vector<std::string>& fromPaths,
                                const std::vector<std::string>& toPaths) {
    if (group_.empty()) return;
    std::vector<std::unique_ptr<StagedCopy>> copies;
    copies.reserve(group_.size());
    for (auto& pending : group_)
        copies.push_back(std::move(pending.copy));
    std::vector<WriteOutcome> outcomes;
    to.CommitCopies(copies, outcomes);
    for (size_t k = 0; k < group_.size(); ++k) {
        const size_t i = group_[k].index;
        const WriteOutcome& outcome = outcomes[k];
        if (outcome.status == WriteStatus::Done) CountCopied(outcome, group_[k].overwrittenForGood);
        if (outcome.status == WriteStatus::Done && !outcome.trashedTo.empty()) {
            // Not to be kept, but it changed while the copy was made: kept after all.
            ++tally_.replacedToTrash;
            if (recorder_ != nullptr && i < actions_.size() &&
                actions_[i] != ActionRecorder::kNoAction) {
                recorder_->Trashed(actions_[i], outcome.trashedTo);
            }
        }
        if (aborted_ && outcome.status != WriteStatus::Done) {
            // Stopped already: the rest of the group is recorded, not asked about.
            results_[i] = ItemResult::Failed;
            ++tally_.notDone;
            continue;
        }
        Settle(i, outcome,
               FillIn(QCoreApplication::translate("FileOperation", "Can not copy %1 to %2"),
                      {Quoted(fromPaths[i]), Quoted(toPaths[i])}));
    }
    group_.clear();
    groupBytes_ = 0;
}

bool FileOperation::Copy(BatchSide from, BatchSide to, const std::vector<std::string>& fromPaths,
                         const std::vector<std::string>& toPaths) {
    results_.assign(fromPaths.size(), ItemResult::NotReached);
    actions_.assign(recorder_ != nullptr ? fromPaths.size() : 0, ActionRecorder::kNoAction);
    aborted_ = false;
    forGoodToAll_ = false;
    asidesCancelled_ = false;
    group_.clear();
    groupBytes_ = 0;
    if (fromPaths.size() != toPaths.size()) return false;

    bool replaceAll = false;
    // Folders get their mode and time once their content is in.
    std::vector<std::pair<size_t, EntryFacts>> folders;
    for (size_t i = 0; i < fromPaths.size() && !aborted_; ++i) {
        if (CancelRequested()) {
            aborted_ = true;
            break;
        }
        Show(fromPaths[i]);
        EntryFacts facts;
        bool exists = false;
        if (!Check(from.fs, fromPaths, i, seenFrom_, facts, exists)) continue;
        if (!exists) {
            Settle(i,
                   WriteOutcome(WriteStatus::Failed, FillIn(QCoreApplication::translate(
                                                         "FileSystem", "it is no longer there"))),
                   CanNotAccess(fromPaths[i]));
            continue;
        }
        WriteOutcome outcome;
        std::string failureText;
        if (facts.IsFolder()) {
            if (recorder_ != nullptr) {
                EntryFacts there;
                if (!to.fs.ReadFacts(toPaths[i], there) &&
                    !BeginAction(i, ActionKind::MakeFolder, to, toPaths[i], false, there, facts)) {
                    break;
                }
            }
            // A folder that is there already is all a folder row needs.
            outcome = CreateFolderPath(to, toPaths[i] + "/");
            if (outcome.status == WriteStatus::Done) ++tally_.foldersMade;
            if (outcome.status == WriteStatus::Exists) outcome.status = WriteStatus::Done;
            if (outcome.status == WriteStatus::Done) folders.emplace_back(i, facts);
            failureText =
                FillIn(QCoreApplication::translate("FileOperation", "Can not make the folder %1"),
                       {Quoted(toPaths[i])});
        } else {
            EntryFacts there;
            bool toExists = false;
            if (!Check(to.fs, toPaths, i, seenTo_, there, toExists)) continue;
            PendingCopy pending;
            pending.index = i;
            if (!BeginAction(i, toExists ? ActionKind::Replace : ActionKind::CopyNew, to,
                             toPaths[i], toExists, there, facts)) {
                break;
            }
            currentAction_ = i < actions_.size() ? actions_[i] : ActionRecorder::kNoAction;
            outcome = CopyOne(from, to, fromPaths[i], toPaths[i], toExists, replaceAll, pending);
            if (outcome.status == WriteStatus::Done && pending.copy) {
                groupBytes_ += pending.copy->Bytes();
                group_.push_back(std::move(pending));
                if (group_.size() >= kGroupCopies || groupBytes_ >= kGroupBytes) {
                    CommitGroup(to.fs, fromPaths, toPaths);
                }
                continue;
            }
            failureText =
                FillIn(QCoreApplication::translate("FileOperation", "Can not copy %1 to %2"),
                       {Quoted(fromPaths[i]), Quoted(toPaths[i])});
        }
        Settle(i, outcome, failureText);
    }
    // Copies staged before a stop are complete and checked: they go in too.
    CommitGroup(to.fs, fromPaths, toPaths);
    for (auto it = folders.rbegin(); it != folders.rend() && !aborted_; ++it) {
        std::string_view relative;
        if (!Below(to.root, toPaths[it->first], relative)) continue;
        const WriteOutcome set = to.fs.SetFolderFacts(to.root, relative, it->second);
        if (set.status != WriteStatus::Done) {
            Settle(it->first, set,
                   FillIn(QCoreApplication::translate("FileOperation",
                                                      "Can not set the mode and time of %1"),
                          {Quoted(toPaths[it->first])}));
        }
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
        ++(side.fs.KeepsOnServer() ? tally_.keptOnServer : tally_.movedToTrash);
        return outcome;
    }
    if (outcome.status != WriteStatus::NoTrash) return outcome;
    if (!AllowForGood(path, outcome.reason, forGoodToAll, outcome)) return outcome;
    outcome = side.fs.DeletePermanently(side.root, relative);
    if (outcome.status == WriteStatus::Done) ++tally_.deletedForGood;
    return outcome;
}

bool FileOperation::Delete(BatchSide side, const std::vector<std::string>& paths) {
    results_.assign(paths.size(), ItemResult::NotReached);
    actions_.assign(recorder_ != nullptr ? paths.size() : 0, ActionRecorder::kNoAction);
    aborted_ = false;
    std::vector<EntryFacts> facts(paths.size());
    std::vector<uint8_t> isFolder(paths.size(), 0);
    size_t files = 0;
    size_t lastFile = 0;
    for (size_t i = 0; i < paths.size(); ++i) {
        const bool folder = i < seenFrom_.size()
                                ? (seenFrom_[i].attributes & kFolderAttribute) != 0
                                : (side.fs.ReadFacts(paths[i], facts[i]) && facts[i].IsFolder());
        isFolder[i] = folder ? 1 : 0;
        if (!folder) {
            ++files;
            lastFile = i;
        }
    }
    bool forGoodToAll = false;
    bool declineAll = false;
    if (files > 0 && side.fs.KeepsOnServer()) {
        const std::string question =
            files == 1
                ? FillIn(QCoreApplication::translate(
                             "FileOperation",
                             "Are you sure you want to delete %1? It is kept on the server."),
                         {Quoted(paths[lastFile])})
                : FillIn(QCoreApplication::translate("FileOperation",
                                                     "Are you sure you want to delete these %1 "
                                                     "objects? They are kept on the server."),
                         {std::to_string(files)});
        if (!prompter_.AskMoveToTrash(question)) aborted_ = true;
    } else if (files > 0 && side.fs.HasTrash()) {
        const std::string question =
            files == 1
                ? FillIn(QCoreApplication::translate(
                             "FileOperation", "Are you sure you want to move %1 to the trash?"),
                         {Quoted(paths[lastFile])})
                : FillIn(QCoreApplication::translate(
                             "FileOperation",
                             "Are you sure you want to move these %1 objects to the trash?"),
                         {std::to_string(files)});
        if (!prompter_.AskMoveToTrash(question)) aborted_ = true;
    } else if (files > 0) {
        const std::string question =
            files == 1 ? FillIn(QCoreApplication::translate(
                                    "FileOperation",
                                    "Are you sure you want to delete %1 permanently? There is no "
                                    "trash to get them back from."),
                                {Quoted(paths[lastFile])})
                       : FillIn(QCoreApplication::translate(
                                    "FileOperation",
                                    "Are you sure you want to delete these %1 objects permanently? "
                                    "There is no trash to get them back from."),
                                {std::to_string(files)});
        const BatchAnswer answer = prompter_.AskDeletePermanently(question);
        forGoodToAll = answer == BatchAnswer::Yes || answer == BatchAnswer::YesToAll;
        // No keeps every object (each counted as not done); Cancel stops.
        declineAll = answer == BatchAnswer::No;
        aborted_ = answer == BatchAnswer::Cancel;
    }

    for (size_t i = 0; i < paths.size() && !aborted_; ++i) {
        if (isFolder[i] != 0) continue;
        if (CancelRequested()) {
            aborted_ = true;
            break;
        }
        Show(paths[i]);
        if (declineAll) {
            Settle(i, WriteOutcome(WriteStatus::NoTrash), {});
            continue;
        }
        bool exists = false;
        if (!Check(side.fs, paths, i, seenFrom_, facts[i], exists)) continue;
        if (!BeginAction(i, ActionKind::Delete, side, paths[i], exists, facts[i], EntryFacts())) {
            break;
        }
        const WriteOutcome outcome = DeleteOne(side, paths[i], forGoodToAll);
        if (recorder_ != nullptr && !outcome.trashedTo.empty() &&
            actions_[i] != ActionRecorder::kNoAction) {
            recorder_->Trashed(actions_[i], outcome.trashedTo);
        }
        Settle(i, outcome,
               FillIn(QCoreApplication::translate("FileOperation", "Can not delete %1"),
                      {Quoted(paths[i])}));
    }

    // Folders go after the files, deepest first: a folder comes before its
    // content in the rows, so walk backwards. One that still holds something
    // (an object that was kept, an excluded one) stays, and its row shows it.
    for (size_t i = paths.size(); i-- > 0 && !aborted_;) {
        if (isFolder[i] == 0) continue;
        bool exists = false;
        if (!Check(side.fs, paths, i, seenFrom_, facts[i], exists)) continue;
        Show(paths[i]);
        if (!BeginAction(i, ActionKind::RemoveFolder, side, paths[i], exists, facts[i],
                         EntryFacts())) {
            break;
        }
        std::string_view relative;
        WriteOutcome outcome = Below(side.root, paths[i], relative)
                                   ? side.fs.RemoveFolder(side.root, relative)
                                   : OutsideRoot(side.root);
        if (outcome.status == WriteStatus::Done) {
            ++tally_.foldersRemoved;
            results_[i] = ItemResult::Done;
        } else {
            results_[i] =
                outcome.status == WriteStatus::Refused ? ItemResult::Refused : ItemResult::Failed;
            ++tally_.notDone;
        }
        Report(i, outcome.status == WriteStatus::NotEmpty && outcome.reason.empty()
                      ? FillIn(QCoreApplication::translate("FileOperation",
                                                           "it still holds something"))
                      : outcome.reason);
    }
    if (!aborted_) return true;
    for (const auto& path : paths) {
        EntryFacts there;
        if (!side.fs.ReadFacts(path, there)) return true;
    }
    return false;
}

}  // namespace ravelmoor
