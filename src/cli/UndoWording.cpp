#include "cli/UndoWording.h"

#include <string_view>

#include "core/engine/NameEscape.h"
#include "core/journal/Journal.h"
#include "core/launch/StartUndo.h"

namespace ravelmoor {
namespace {

std::string Counted(size_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace

std::string UndoStepLine(const SyncJournal& journal, const UndoStep& step) {
    std::string word(UndoStepWord(step.kind));
    word.resize(14, ' ');
    const std::string& root =
        step.target ? journal.header.target.shown : journal.header.source.shown;
    return word + (step.target ? "target  " : "source  ") + EscapeName(root + step.path);
}

std::string UndoQuestion(const SyncJournal& journal, const std::vector<UndoStep>& steps) {
    const JournalHeader& header = journal.header;
    std::string text =
        "Undo the synchronisation " + journal.id + " (" + header.method + ") of " +
        EscapeName(header.source.shown) + " and " + EscapeName(header.target.shown) +
        "? It removes " + Counted(CountSteps(steps, UndoStepKind::RemoveCreated), "file", "files") +
        " the sync made, puts back " +
        Counted(CountSteps(steps, UndoStepKind::PutBackReplaced), "replaced file",
                "replaced files") +
        " and brings back " +
        Counted(CountSteps(steps, UndoStepKind::PutBackDeleted), "deleted object",
                "deleted objects") +
        // A server keeps them in its versions folder, a local side in the trash.
        (header.source.local && header.target.local ? " from the trash"
                                                    : " from the trash or the server") +
        ", removes " +
        Counted(CountSteps(steps, UndoStepKind::RemoveMadeFolder), "folder", "folders") +
        " and makes " +
        Counted(CountSteps(steps, UndoStepKind::RemakeFolder), "folder", "folders") + " again.";
    const size_t never = CountSteps(steps, UndoStepKind::CannotUndo);
    if (never > 0) text += " " + Counted(never, "change", "changes") + " can not be undone.";
    return text;
}

std::string UndoSummary(const std::string& id, const UndoEnd& end) {
    std::string summary =
        "Undo of " + id + ": " + Counted(end.done, "change", "changes") + " taken back";
    if (end.already > 0) summary += ", " + std::to_string(end.already) + " already as before";
    if (end.left > 0)
        summary += ", " + Counted(end.left, "change", "changes") + " not (named above)";
    if (end.stopped) summary += "; stopped";
    summary += ".";
    return summary;
}

}  // namespace ravelmoor
