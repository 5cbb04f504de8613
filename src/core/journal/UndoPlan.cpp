#include "core/journal/UndoPlan.h"

#include <QCoreApplication>
#include <algorithm>

namespace ravelmoor {
namespace {

SeenState Seen(bool exists, const EntryFacts& facts) {
    SeenState seen;
    seen.present = exists;
    seen.attributes = facts.attributes;
    seen.size = facts.size;
    seen.lastWrite = facts.lastWrite;
    return seen;
}

UndoStepKind StepFor(ActionKind kind) {
    switch (kind) {
        case ActionKind::CopyNew:
            return UndoStepKind::RemoveCreated;
        case ActionKind::Replace:
            return UndoStepKind::PutBackReplaced;
        case ActionKind::Delete:
            return UndoStepKind::PutBackDeleted;
        case ActionKind::MakeFolder:
            return UndoStepKind::RemoveMadeFolder;
        case ActionKind::RemoveFolder:
            return UndoStepKind::RemakeFolder;
        case ActionKind::Rename:
            return UndoStepKind::RenameBack;
    }
    return UndoStepKind::CannotUndo;
}

}  // namespace

std::vector<UndoStep> PlanUndo(const SyncJournal& journal) {
    std::vector<UndoStep> steps;
    // The last change first.
    for (size_t i = journal.records.size(); i-- > 0;) {
        const JournalRecord& record = journal.records[i];
        if (record.ended && !record.done) continue;
        UndoStep step;
        step.kind = StepFor(record.kind);
        step.target = record.target;
        step.path = record.path;
        step.trashItem = record.trashedTo;
        step.kept = record.trashedKnown ? record.trashed : record.before;
        step.ended = record.ended;
        step.before = Seen(record.existed, record.before);
        step.beforeFacts = record.before;
        switch (record.kind) {
            case ActionKind::CopyNew:
            case ActionKind::Replace:
            case ActionKind::MakeFolder:
                // Without the facts read after the change, a copy is known
                // by its original's size and time.
                step.left = record.afterKnown ? Seen(record.afterExists, record.after)
                                              : Seen(true, record.expected);
                break;
            case ActionKind::Delete:
            case ActionKind::RemoveFolder:
            case ActionKind::Rename:
                step.left = SeenState();
                break;
        }
        const bool keptNothing = record.trashedTo.empty() && (record.kind == ActionKind::Replace ||
                                                              record.kind == ActionKind::Delete);
        if (keptNothing && record.ended) {
            // Overwritten or deleted for good (no trash, or not kept).
            step.kind = UndoStepKind::CannotUndo;
        }
        steps.push_back(std::move(step));
    }
    return steps;
}

std::string_view UndoStepWord(UndoStepKind kind) {
    switch (kind) {
        case UndoStepKind::RemoveCreated:
            return QT_TRANSLATE_NOOP("UndoPlan", "remove");
        case UndoStepKind::PutBackReplaced:
            return QT_TRANSLATE_NOOP("UndoPlan", "put back");
        case UndoStepKind::PutBackDeleted:
            return QT_TRANSLATE_NOOP("UndoPlan", "bring back");
        case UndoStepKind::RemoveMadeFolder:
            return QT_TRANSLATE_NOOP("UndoPlan", "remove folder");
        case UndoStepKind::RemakeFolder:
            return QT_TRANSLATE_NOOP("UndoPlan", "make folder");
        case UndoStepKind::RenameBack:
            return QT_TRANSLATE_NOOP("UndoPlan", "rename back");
        case UndoStepKind::CannotUndo:
            break;
    }
    return QT_TRANSLATE_NOOP("UndoPlan", "can not undo");
}

size_t CountSteps(const std::vector<UndoStep>& steps, UndoStepKind kind) {
    return static_cast<size_t>(std::count_if(
        steps.begin(), steps.end(), [kind](const UndoStep& step) { return step.kind == kind; }));
}

}  // namespace ravelmoor
