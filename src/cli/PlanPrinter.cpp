#include "cli/PlanPrinter.h"

#include <vector>

#include "cli/SyncProgress.h"
#include "core/engine/NameEscape.h"
#include "core/sync/PlanFile.h"
#include "core/text/Formatting.h"

namespace ravelmoor {
namespace {

const char* SideName(ListSide side) {
    return side == ListSide::Source ? "Source" : "Target";
}

// The path as printed: escaped, a folder with '/' after it, a link named so.
std::string Object(const PlannedAction& action) {
    std::string text = action.kind == 'L' ? "link " : "";
    AppendEscapedName(action.path, text);
    if (action.kind == 'd') text.push_back('/');
    return text;
}

std::string Counted(size_t n, const char* one, const char* many) {
    return FormatSize(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string PlanLine(const PlannedAction& action, const PlanWording& wording) {
    const std::string side = SideName(action.side);
    const std::string object = Object(action);
    const KeptIn kept = wording.Keeps(action.side);
    if (action.deletion) {
        switch (kept) {
            case KeptIn::Trash:
                return "would move " + object + " in " + side + " to the trash";
            case KeptIn::Server:
                return "would delete " + object + " in " + side + ", keeping it on the server";
            case KeptIn::Nowhere:
                break;
        }
        return "would delete " + object + " in " + side + " permanently (there is no trash)";
    }
    if (action.replaces) {
        std::string line = "would replace " + object + " in " + side;
        if (wording.keepReplaced) {
            switch (kept) {
                case KeptIn::Trash:
                    line += ", keeping the old version in the trash";
                    break;
                case KeptIn::Server:
                    line += ", keeping the old version on the server";
                    break;
                case KeptIn::Nowhere:
                    line += ", deleting the old version permanently (there is no trash)";
                    break;
            }
        }
        return line;
    }
    if (action.kind == 'd') return "would make folder " + object + " in " + side;
    return "would copy " + object + " to " + side;
}

std::string TsvActionLine(const PlannedAction& action) {
    std::string line(action.Verb());
    line.push_back('\t');
    line += action.side == ListSide::Source ? "source" : "target";
    line.push_back('\t');
    line += KindWord(action.kind);
    line.push_back('\t');
    line += OutcomeWord(action.outcome);
    line.push_back('\t');
    AppendEscapedName(action.path, line);
    return line;
}

std::string DryRunSummary(const PlannedActions& actions, const PlanWording& wording) {
    SideTotals all;
    for (const ListSide side : {ListSide::Target, ListSide::Source}) {
        const SideTotals totals = actions.Totals(side);
        all.newFiles += totals.newFiles;
        all.newFolders += totals.newFolders;
        all.replaced += totals.replaced;
        all.deletions += totals.deletions;
        all.bytes += totals.bytes;
    }
    std::vector<std::string> parts;
    if (all.newFiles > 0) parts.push_back("copy " + Counted(all.newFiles, "new file", "new files"));
    if (all.newFolders > 0) parts.push_back("make " + Counted(all.newFolders, "folder", "folders"));
    if (all.replaced > 0) parts.push_back("replace " + Counted(all.replaced, "file", "files"));
    // Only Target has deletions.
    if (all.deletions > 0) {
        const std::string objects = Counted(all.deletions, "object", "objects");
        switch (wording.targetKeeps) {
            case KeptIn::Trash:
                parts.push_back("move " + objects + " to the trash");
                break;
            case KeptIn::Server:
                parts.push_back("delete " + objects);
                break;
            case KeptIn::Nowhere:
                parts.push_back("delete " + objects + " permanently");
                break;
        }
    }
    std::string line = "Dry run: would ";
    for (size_t k = 0; k < parts.size(); ++k) {
        if (k > 0) line += k + 1 == parts.size() ? " and " : ", ";
        line += parts[k];
    }
    if (all.newFiles + all.replaced > 0) {
        line += " (" + Counted(all.bytes, "byte", "bytes") + " to copy)";
    }
    line += ".";
    // Said once for the plan: a server side keeps what it loses.
    const bool keptOnServer =
        (all.deletions > 0 && wording.targetKeeps == KeptIn::Server) ||
        (all.replaced > 0 && wording.keepReplaced &&
         (wording.targetKeeps == KeptIn::Server || wording.sourceKeeps == KeptIn::Server));
    if (keptOnServer) line += " What it replaces or deletes on the server is kept there.";
    return line + " Nothing was changed.";
}

void PrintActions(const PlannedActions& actions, const PlanWording& wording, OutputFormat format,
                  bool itemised, FILE* out) {
    // A folder is removed after its content: deletions of folders go last,
    // deepest first (a folder's row comes before its content's).
    std::vector<const PlannedAction*> order;
    order.reserve(actions.All().size());
    for (const PlannedAction& action : actions.All()) {
        if (!action.deletion || action.kind != 'd') order.push_back(&action);
    }
    const std::vector<PlannedAction>& all = actions.All();
    for (size_t k = all.size(); k-- > 0;) {
        if (all[k].deletion && all[k].kind == 'd') order.push_back(&all[k]);
    }
    std::string line;
    for (const PlannedAction* planned : order) {
        const PlannedAction& action = *planned;
        if (format == OutputFormat::Tsv) {
            line = TsvActionLine(action);
        } else {
            line = itemised ? SyncProgress::ItemLine(action) : PlanLine(action, wording);
        }
        line.push_back('\n');
        std::fwrite(line.data(), 1, line.size(), out);
    }
}

}  // namespace ravelmoor
