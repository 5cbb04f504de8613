#include "core/journal/UndoRun.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <set>
#include <utility>

#include "core/journal/TrashRestore.h"
#include "core/journal/VersionRestore.h"
#include "core/local/BelowRoot.h"
#include "core/sync/ActionRecorder.h"

namespace ravelmoor {
namespace {

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

std::string NoLongerInTrash(const std::string& full, bool local) {
    return "The old version of " + full +
           (local ? " is no longer in the trash." : " is no longer kept on the server.");
}

// The temporary files of copies on their way in one folder.
class TemporaryFiles : public ListSink {
  public:
    bool OnEntry(const DirEntryFacts& facts) override {
        if ((facts.attributes & kFolderAttribute) == 0 && IsTemporaryName(facts.name)) {
            names.emplace_back(facts.name);
        }
        return true;
    }
    std::vector<std::string> names;
};

}  // namespace

void UndoRun::RemoveBrokenCopies(const std::vector<UndoStep>& steps) {
    std::set<std::pair<bool, std::string>> folders;
    for (const UndoStep& step : steps) {
        if (step.ended || (step.kind != UndoStepKind::RemoveCreated &&
                           step.kind != UndoStepKind::PutBackReplaced)) {
            continue;
        }
        const size_t slash = step.path.rfind('/');
        folders.emplace(step.target, slash == std::string::npos ? std::string()
                                                                : step.path.substr(0, slash + 1));
    }
    // A sync that was killed may have left copies written but not put in place.
    for (const auto& [target, folder] : folders) {
        TemporaryFiles found;
        if (!Fs(target).ListFolder(Root(target) + folder, found).Ok()) continue;
        for (const std::string& name : found.names)
            Fs(target).DeletePermanently(Root(target), folder + name);
    }
}

UndoRun::UndoRun(const SyncJournal& journal, FileSystem& source, FileSystem& target)
    : journal_(journal), source_(source), target_(target) {}

bool UndoRun::Local(bool target) const {
    return target ? journal_.header.target.local : journal_.header.source.local;
}

const std::string& UndoRun::Root(bool target) const {
    return target ? journal_.header.target.folder : journal_.header.source.folder;
}

std::string UndoRun::FullPath(const UndoStep& step) const {
    return Root(step.target) + step.path;
}

bool UndoRun::TakeAway(const UndoStep& step, bool exists, const EntryFacts& now,
                       std::string& words) {
    FileSystem& fs = Fs(step.target);
    const std::string full = FullPath(step);
    const size_t action =
        recorder_ != nullptr
            ? recorder_->Begin(ActionKind::Delete, fs, Root(step.target), full, exists, now, {})
            : ActionRecorder::kNoAction;
    WriteOutcome outcome = fs.MoveToTrash(Root(step.target), step.path);
    if (outcome.status == WriteStatus::NoTrash) {
        // A server keeps nothing: what the sync put there goes for good.
        outcome = fs.DeletePermanently(Root(step.target), step.path);
    }
    const bool done = outcome.status == WriteStatus::Done;
    if (recorder_ != nullptr && action != ActionRecorder::kNoAction) {
        recorder_->Trashed(action, outcome.trashedTo);
        recorder_->End(action, done);
    }
    if (!done) words = "Can not move " + Quoted(full) + " to the trash: " + outcome.reason + ".";
    return done;
}

UndoResult UndoRun::BringBack(const UndoStep& step, std::string& words) {
    FileSystem& fs = Fs(step.target);
    const std::string full = FullPath(step);
    const size_t action = recorder_ != nullptr
                              ? recorder_->Begin(ActionKind::CopyNew, fs, Root(step.target), full,
                                                 false, {}, step.kept)
                              : ActionRecorder::kNoAction;
    const bool local = Local(step.target);
    const RestoreOutcome outcome =
        local ? RestoreFromTrash(step.trashItem, Root(step.target), step.path, step.kept)
              : RestoreKeptVersion(fs, Root(step.target), step.path, step.trashItem, step.kept);
    const bool done = outcome.Ok();
    if (recorder_ != nullptr && action != ActionRecorder::kNoAction) recorder_->End(action, done);
    if (done) return UndoResult::Done;
    if (outcome.status == RestoreStatus::NotInTrash) {
        words = NoLongerInTrash(full, local);
        return UndoResult::Gone;
    }
    words = "Can not bring " + Quoted(full) +
            (local ? " back from the trash: " : " back from the versions kept on the server: ") +
            outcome.reason + ".";
    return UndoResult::Failed;
}

UndoResult UndoRun::Carry(const UndoStep& step, std::string& words) {
    FileSystem& fs = Fs(step.target);
    const std::string full = FullPath(step);
    EntryFacts now;
    const bool exists = fs.ReadFacts(full, now);
    const bool asLeft = step.left.Matches(exists, now);
    const bool asBefore = step.before.Matches(exists, now);
    const auto changed = [&]() {
        words = Quoted(full) + " changed since the synchronisation; left as it is.";
        return UndoResult::Changed;
    };
    switch (step.kind) {
        case UndoStepKind::CannotUndo:
            words =
                step.before.present && (step.before.attributes & kFolderAttribute) == 0 &&
                        step.left.present
                    ? "The old version of " + full + " was not kept; undo can not bring it back."
                    : full + " was deleted for good; undo can not bring it back.";
            return UndoResult::CannotUndo;
        case UndoStepKind::RemoveCreated:
            if (!exists) return UndoResult::NothingToDo;
            if (!asLeft && !force_) return changed();
            return TakeAway(step, exists, now, words) ? UndoResult::Done : UndoResult::Failed;
        case UndoStepKind::PutBackReplaced:
        case UndoStepKind::PutBackDeleted: {
            if (!step.ended && asBefore) return UndoResult::NothingToDo;  // it never happened
            if (step.trashItem.empty()) {
                words = step.kind == UndoStepKind::PutBackDeleted
                            ? full + " was deleted for good; undo can not bring it back."
                            : "The old version of " + full +
                                  " was not kept; undo can not bring it back.";
                return UndoResult::CannotUndo;
            }
            // Only the very object the sync put in the trash comes back:
            // never another one that took its name there since.
            const bool inTrash =
                Local(step.target)
                    ? CheckTrashItem(step.trashItem, Root(step.target), step.path, step.kept).Ok()
                    : CheckKeptVersion(fs, Root(step.target), step.path, step.trashItem, step.kept)
                          .Ok();
            // Brought back already (an undo that is run again finishes what
            // an earlier one left).
            if (exists && asBefore && (!inTrash || !asLeft)) return UndoResult::NothingToDo;
            if (!inTrash) {
                words = NoLongerInTrash(full, Local(step.target));
                return UndoResult::Gone;
            }
            if (exists) {
                if (!asLeft && !force_) return changed();
                if (!TakeAway(step, exists, now, words)) return UndoResult::Failed;
            }
            return BringBack(step, words);
        }
        case UndoStepKind::RemoveMadeFolder: {
            if (!exists) return UndoResult::NothingToDo;
            if (!now.IsFolder()) return force_ ? UndoResult::NothingToDo : changed();
            const size_t action = recorder_ != nullptr
                                      ? recorder_->Begin(ActionKind::RemoveFolder, fs,
                                                         Root(step.target), full, true, now, {})
                                      : ActionRecorder::kNoAction;
            const WriteOutcome outcome = fs.RemoveFolder(Root(step.target), step.path);
            const bool done = outcome.status == WriteStatus::Done;
            if (recorder_ != nullptr && action != ActionRecorder::kNoAction) {
                recorder_->End(action, done);
            }
            if (done) return UndoResult::Done;
            words = outcome.status == WriteStatus::NotEmpty
                        ? "The folder " + Quoted(full) + " still holds something; left as it is."
                        : "Can not remove the folder " + Quoted(full) + ": " + outcome.reason + ".";
            return outcome.status == WriteStatus::NotEmpty ? UndoResult::Changed
                                                           : UndoResult::Failed;
        }
        case UndoStepKind::RenameBack:
            return RenameBack(step, exists, words);
        case UndoStepKind::RemakeFolder: {
            if (exists && now.IsFolder()) {
                remade_.push_back(&step);
                return UndoResult::NothingToDo;
            }
            if (exists) return changed();
            const size_t action =
                recorder_ != nullptr
                    ? recorder_->Begin(ActionKind::MakeFolder, fs, Root(step.target), full, false,
                                       {}, step.beforeFacts)
                    : ActionRecorder::kNoAction;
            const WriteOutcome outcome = fs.MakeFolder(Root(step.target), step.path);
            const bool done =
                outcome.status == WriteStatus::Done || outcome.status == WriteStatus::Exists;
            if (recorder_ != nullptr && action != ActionRecorder::kNoAction) {
                recorder_->End(action, done);
            }
            if (!done) {
                words = "Can not make the folder " + Quoted(full) + ": " + outcome.reason + ".";
                return UndoResult::Failed;
            }
            remade_.push_back(&step);
            return UndoResult::Done;
        }
    }
    return UndoResult::Failed;
}

UndoResult UndoRun::RenameBack(const UndoStep& step, bool oldNameTaken, std::string& words) {
    FileSystem& fs = Fs(step.target);
    const std::string& root = Root(step.target);
    const std::string& renamed = step.trashItem;
    EntryFacts now;
    const bool there = renamed.starts_with(root) && fs.ReadFacts(renamed, now);
    // Never renamed, or back already.
    if (!there && oldNameTaken) return UndoResult::NothingToDo;
    if (!there) {
        words = Quoted(renamed) + " is no longer there; " + Quoted(FullPath(step)) +
                " can not get its name back.";
        return UndoResult::Gone;
    }
    if (oldNameTaken) {
        words = Quoted(FullPath(step)) + " is taken again since the synchronisation; " +
                Quoted(renamed) + " is left as it is.";
        return UndoResult::Changed;
    }
    const std::string relative = renamed.substr(root.size());
    const size_t action = recorder_ != nullptr ? recorder_->Begin(ActionKind::Rename, fs, root,
                                                                  renamed, true, now, {})
                                               : ActionRecorder::kNoAction;
    const WriteOutcome outcome = fs.Rename(root, relative, step.path);
    const bool done = outcome.status == WriteStatus::Done;
    if (recorder_ != nullptr && action != ActionRecorder::kNoAction) {
        if (done) recorder_->Trashed(action, FullPath(step));
        recorder_->End(action, done);
    }
    if (done) return UndoResult::Done;
    words = "Can not rename " + Quoted(renamed) + " back to " + Quoted(FullPath(step)) + ": " +
            outcome.reason + ".";
    return UndoResult::Failed;
}

void UndoRun::SetFolderTimes() {
    for (const UndoStep* step : remade_) {
        Fs(step->target).SetFolderFacts(Root(step->target), step->path, step->beforeFacts);
    }
    for (const JournalFolderTime& folder : journal_.folderTimes) {
        const JournalSide& side = folder.target ? journal_.header.target : journal_.header.source;
        if (!side.local) continue;
        if (!folder.path.empty()) {
            // Reached from the root with no link followed; the mode stays
            // as it is now.
            EntryFacts time = folder.facts;
            time.mode = 0;
            Fs(folder.target).SetFolderFacts(side.folder, folder.path, time);
            continue;
        }
        const std::string root = side.folder.substr(0, side.folder.size() - 1);
        struct stat st {};
        if (::lstat(root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
        const timespec times[2] = {{0, UTIME_OMIT},
                                   {static_cast<time_t>(folder.facts.lastWrite),
                                    static_cast<long>(folder.facts.lastWriteNanoseconds)}};
        ::utimensat(AT_FDCWD, root.c_str(), times, AT_SYMLINK_NOFOLLOW);
    }
}

std::vector<UndoResult> UndoRun::Run(const std::vector<UndoStep>& steps) {
    std::vector<UndoResult> results(steps.size(), UndoResult::NotReached);
    remade_.clear();
    stopped_ = false;
    RemoveBrokenCopies(steps);
    for (size_t i = 0; i < steps.size(); ++i) {
        if (cancel_ != nullptr && cancel_->load(std::memory_order_relaxed) != 0) {
            stopped_ = true;
            break;
        }
        std::string words;
        results[i] = Carry(steps[i], words);
        if (report_) report_(i, results[i], words);
    }
    SetFolderTimes();
    return results;
}

}  // namespace ravelmoor
