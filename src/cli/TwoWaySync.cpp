#include "cli/TwoWaySync.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <utility>

#include "cli/InterruptHandler.h"
#include "cli/JsonOutput.h"
#include "cli/Terminal.h"
#include "cli/TerminalPrompter.h"
#include "core/engine/Comparison.h"
#include "core/engine/NameEscape.h"
#include "core/launch/StartSync.h"
#include "core/twoway/TwoWaySession.h"

namespace ravelmoor {
namespace {

constexpr int kDone = 0;
constexpr int kPartly = 1;
constexpr int kFailed = 2;

constexpr const char* kPreferWords[] = {"",      "source", "target", "newer",
                                        "older", "larger", "smaller"};

std::string Stamp(std::time_t when, const char* format) {
    std::tm local{};
    localtime_r(&when, &local);
    char text[40];
    std::strftime(text, sizeof text, format, &local);
    return text;
}

std::string FactsText(const SideFacts& facts) {
    if (!facts.Present()) return "absent";
    if (facts.kind == SideFacts::Folder) return "folder";
    return std::to_string(facts.size) + " B  " + Stamp(facts.lastWrite, "%Y-%m-%d %H:%M:%S");
}

std::string FactsJson(const SideFacts& facts) {
    if (!facts.Present()) return "null";
    return R"({"size":)" + std::to_string(facts.size) + R"(,"time":)" +
           std::to_string(facts.lastWrite) + R"(,"kind":")" +
           (facts.kind == SideFacts::Folder ? "folder"
            : facts.kind == SideFacts::Link ? "link"
                                            : "file") +
           R"("})";
}

const char* SettledWord(Settlement settled) {
    switch (settled) {
        case Settlement::KeepSource:
            return "source";
        case Settlement::KeepTarget:
            return "target";
        case Settlement::KeepBoth:
            return "both";
        case Settlement::Left:
            break;
    }
    return "left";
}

// The mark and word of a line for what follows a rename.
std::pair<const char*, const char*> EditWords(EditBelowRename::Kind kind) {
    switch (kind) {
        case EditBelowRename::CopyToTarget:
            return {"-->", "copy    "};
        case EditBelowRename::CopyToSource:
            return {"<--", "copy    "};
        case EditBelowRename::DeleteInTarget:
            return {"--x", "delete  "};
        case EditBelowRename::DeleteInSource:
            return {"x--", "delete  "};
        case EditBelowRename::Conflict:
            break;
    }
    return {"<?>", "conflict"};
}

const char* JsonWord(EditBelowRename::Kind kind) {
    switch (kind) {
        case EditBelowRename::CopyToTarget:
        case EditBelowRename::CopyToSource:
            return "copy";
        case EditBelowRename::DeleteInTarget:
        case EditBelowRename::DeleteInSource:
            return "delete";
        case EditBelowRename::Conflict:
            break;
    }
    return "conflict";
}

std::string RowPath(Comparison& comparison, uint32_t row) {
    const FileEntry& s = comparison.SourceResults().ElementAt(row);
    const FileEntry& e = s.IsBlank() || s.status == EntryStatus::Missing
                             ? comparison.TargetResults().ElementAt(row)
                             : s;
    std::string path = e.path.str();
    if (e.IsFolder()) path.push_back('/');
    return path;
}

// One line per action: what moves where, as text or as JSON objects.
struct PlanLines {
    Comparison& comparison;
    const SyncPlan& plan;

    void Text(FILE* out) const {
        const TwoWayPart& part = plan.twoWay;
        if (part.firstSync) {
            std::fprintf(out, "First synchronisation of this pair: nothing is deleted.\n");
        } else if (part.lastSync != 0) {
            std::fprintf(out, "Changes since the last synchronisation on %s:\n",
                         Stamp(part.lastSync, "%Y-%m-%d %H:%M").c_str());
        }
        for (const RenameStep& step : part.renames) {
            if (step.memoryOnly) continue;
            std::fprintf(out, "  %s  %s  %s -> %s\n", step.onSource ? "<==" : "==>",
                         step.conflictCopy ? "keep    " : "renamed ", EscapeName(step.from).c_str(),
                         EscapeName(step.to).c_str());
        }
        // What follows the renames below the new names, once they are done.
        for (const EditBelowRename& edit : part.belowRenames) {
            const auto [mark, word] = EditWords(edit.kind);
            std::fprintf(out, "  %s  %s %s\n", mark, word, EscapeName(edit.path).c_str());
        }
        const auto lines = [&](const std::vector<uint32_t>& rows, const char* mark,
                               const char* word) {
            for (const uint32_t row : rows)
                std::fprintf(out, "  %s  %s %s\n", mark, word,
                             EscapeName(RowPath(comparison, row)).c_str());
        };
        lines(plan.copyToTarget, "-->", "copy    ");
        lines(plan.copyToSource, "<--", "copy    ");
        lines(plan.deleteInTarget, "--x", "delete  ");
        lines(part.deleteInSource, "x--", "delete  ");
        lines(part.keptFolders, "<+>", "kept    ");
        for (const TwoWayConflict& conflict : part.conflicts) {
            const std::string why = conflict.kind == ConflictKind::RenamedApart
                                        ? "  renamed apart: " + EscapeName(conflict.renamedFrom) +
                                              " is " + EscapeName(conflict.sourcePath) +
                                              " in Source, " + EscapeName(conflict.targetPath) +
                                              " in Target"
                                        : std::string("  changed on both sides");
            std::fprintf(
                out, "  <?>  conflict %s%s\n",
                EscapeName(RowPath(comparison, conflict.row)).c_str(),
                conflict.settled == Settlement::Left
                    ? why.c_str()
                    : (std::string("  settled: keep ") + SettledWord(conflict.settled)).c_str());
            if (conflict.hasBase)
                std::fprintf(out, "         last sync  %s\n",
                             FactsText(conflict.baseSource).c_str());
            std::fprintf(out, "         Source     %s\n", FactsText(conflict.source).c_str());
            std::fprintf(out, "         Target     %s\n", FactsText(conflict.target).c_str());
        }
    }

    std::string Json() const {
        std::string text;
        const auto add = [&](const char* action, const char* side, uint32_t row) {
            if (text.back() != '[') text.push_back(',');
            text +=
                std::string(R"({"action":")") + action + R"(","side":")" + side + R"(","path":)";
            AppendJsonString(text, RowPath(comparison, row));
            text.push_back('}');
        };
        const TwoWayPart& part = plan.twoWay;
        text = R"({"format":"ravelmoor-sync","method":"two-way","first_sync":)";
        text += part.firstSync ? "true" : "false";
        text += R"(,"actions":[)";
        for (const RenameStep& step : part.renames) {
            if (step.memoryOnly) continue;
            if (text.back() != '[') text.push_back(',');
            text += std::string(R"({"action":"rename","side":")") +
                    (step.onSource ? "source" : "target") + R"(","path":)";
            AppendJsonString(text, step.from);
            text += R"(,"to":)";
            AppendJsonString(text, step.to);
            text.push_back('}');
        }
        for (const uint32_t row : plan.copyToTarget)
            add("copy", "target", row);
        for (const uint32_t row : plan.copyToSource)
            add("copy", "source", row);
        for (const uint32_t row : plan.deleteInTarget)
            add("delete", "target", row);
        for (const uint32_t row : part.deleteInSource)
            add("delete", "source", row);
        // Seen ahead below renamed folders: the pass after the renames does it.
        text += R"(],"after_renames":[)";
        for (const EditBelowRename& edit : part.belowRenames) {
            if (text.back() != '[') text.push_back(',');
            const bool onSource = edit.kind == EditBelowRename::CopyToSource ||
                                  edit.kind == EditBelowRename::DeleteInSource;
            text += std::string(R"({"action":")") + JsonWord(edit.kind) + R"(","side":")" +
                    (edit.kind == EditBelowRename::Conflict ? "both"
                     : onSource                             ? "source"
                                                            : "target") +
                    R"(","path":)";
            AppendJsonString(text, edit.path);
            text.push_back('}');
        }
        text += R"(],"conflicts":[)";
        for (const TwoWayConflict& conflict : part.conflicts) {
            if (text.back() != '[') text.push_back(',');
            text += R"({"path":)";
            AppendJsonString(text, RowPath(comparison, conflict.row));
            text += std::string(R"(,"kind":")") +
                    (conflict.kind == ConflictKind::BothNew        ? "new-new"
                     : conflict.kind == ConflictKind::RenamedApart ? "renamed-apart"
                                                                   : "changed-changed") +
                    R"(","settled":")" + SettledWord(conflict.settled) + R"(","last_sync":)" +
                    (conflict.hasBase ? R"({"source":)" + FactsJson(conflict.baseSource) +
                                            R"(,"target":)" + FactsJson(conflict.baseTarget) + "}"
                                      : std::string("null")) +
                    R"(,"source":)" + FactsJson(conflict.source) + R"(,"target":)" +
                    FactsJson(conflict.target) + "}";
        }
        text += R"(],"conflicts_left":)" + std::to_string(part.ConflictsLeft());
        return text;
    }
};

// -i: each conflict's question; the answer settles it for this run.
void AskConflicts(Comparison& comparison, const TwoWaySession& session, SyncPlan& plan) {
    for (size_t index = 0; index < plan.twoWay.conflicts.size(); ++index) {
        const TwoWayConflict& conflict = plan.twoWay.conflicts[index];
        if (conflict.settled != Settlement::Left) continue;
        const std::string path(RowPath(comparison, conflict.row));
        std::string answer;
        const std::string question = "Conflict " + EscapeName(path) + ": Source " +
                                     FactsText(conflict.source) + ", Target " +
                                     FactsText(conflict.target) +
                                     ". Keep [s]ource, [t]arget, [b]oth, or s[k]ip? ";
        if (!Terminal::Ask(question, answer)) return;
        if (answer == "s" || answer == "source") {
            session.Settle(plan, index, Settlement::KeepSource);
        } else if (answer == "t" || answer == "target") {
            session.Settle(plan, index, Settlement::KeepTarget);
        } else if (answer == "b" || answer == "both") {
            session.Settle(plan, index, Settlement::KeepBoth);
        }
    }
}

}  // namespace

std::vector<OptionRow> TwoWayOptionRows(TwoWayRequest& request) {
    TwoWayRequest* r = &request;
    return {
        {{"--prefer"},
         "WHICH",
         "two-way: settle conflicts by keeping source,\ntarget, newer, older, larger or smaller "
         "(the\nother version goes to the trash)",
         [r](const std::string& value) { return ParsePreference(value, r->prefer); }},
        {{"--conflicts"},
         "keep-both",
         "two-way: keep a settled conflict's other version\nbeside it as "
         "NAME.conflict-SIDE-DATE-TIME.EXT",
         [r](const std::string& value) {
             if (value != "keep-both") {
                 return Refused("Unknown conflict rule " + value +
                                ": --conflicts takes keep-both.");
             }
             r->keepBoth = true;
             return OptionOutcome();
         }},
        {{"--first-sync"},
         {},
         "two-way: take the folders as a new pair, whatever\nwas remembered (nothing is deleted)",
         [r](const std::string&) {
             r->firstSync = true;
             return OptionOutcome();
         }},
    };
}

OptionOutcome ParsePreference(const std::string& value, ConflictPreference& prefer) {
    for (size_t i = 1; i < std::size(kPreferWords); ++i) {
        if (value == kPreferWords[i]) {
            prefer = static_cast<ConflictPreference>(i);
            return {};
        }
    }
    return Refused("Unknown preference " + value +
                   ": --prefer takes source, target, newer, older, larger or smaller.");
}

int RunTwoWaySync(const TwoWayRequest& request, const CompareRequest& compare,
                  Comparison& comparison, TerminalPrompter& prompter,
                  const std::function<bool()>& compareAgain) {
    const bool json = compare.format == OutputFormat::Json;
    auto session = std::make_shared<TwoWaySession>(
        comparison, TwoWayOptions{request.prefer, request.keepBoth, request.firstSync});
    if (const MemoryOutcome opened = session->Open(); !opened.Ok()) {
        Terminal::Message(opened.reason);
        return kFailed;
    }
    SyncPlan plan;
    // The server side open again for the plan, which asks it for identities.
    // One that cannot be reached fails the run's items with the reason.
    comparison.Reopen(nullptr);
    if (const TwoWayOutcome planned = session->Plan(plan); !planned.Ok()) {
        Terminal::Message(planned.reason);
        return kFailed;
    }
    if (request.interactive) AskConflicts(comparison, *session, plan);
    const PlanLines lines{comparison, plan};
    if (!compare.quiet && (request.preview || compare.verbose) && !json) lines.Text(stdout);
    if (request.preview) {
        if (json) std::printf("%s,\"dry_run\":true}\n", lines.Json().c_str());
        if (!json && !compare.quiet) {
            const size_t actions = plan.Total();
            const size_t conflicts = plan.twoWay.ConflictsLeft();
            std::printf("Dry run: %zu %s, %zu %s left. Nothing was changed.\n", actions,
                        actions == 1 ? "action" : "actions", conflicts,
                        conflicts == 1 ? "conflict" : "conflicts");
        }
        return plan.Empty() ? kDone : kPartly;
    }
    if (const std::string mass = session->MassDeletion(plan);
        !mass.empty() && !request.allowMassDelete) {
        Terminal::Message(mass + " No (add --allow-mass-delete to let it).");
        return kFailed;
    }
    if (!request.yes && plan.Total() > 0) {
        if (!compare.verbose || json) lines.Text(stdout);
        if (!prompter.AskYesNo("Carry out these " + std::to_string(plan.Total()) + " actions?")) {
            Terminal::Message("Nothing was copied, deleted or renamed.");
            return kFailed;
        }
    }
    if (json && !compare.quiet) std::printf("%s}\n", lines.Json().c_str());

    std::atomic<int32_t> cancel{0};
    const InterruptHandler interrupts(cancel);
    SyncJob job;
    job.method = SyncMethod::TwoWay;
    job.plan = plan;
    job.keepReplaced = request.keepReplaced;
    job.verify = request.verify;
    // A run with nothing to do keeps no journal: there is nothing to undo.
    job.withoutJournal = request.noJournal || plan.Total() == 0;
    job.twoWay = session;
    job.compareAgain = compareAgain;
    const SyncStart start = StartSync(comparison, std::move(job), prompter);
    if (!start.outcome.Ok()) {
        Terminal::Message(start.outcome.reason +
                          " Nothing was copied or deleted: add --no-journal to synchronise "
                          "without a journal (it can then not be undone).");
        return kFailed;
    }
    SyncExecution& sync = *start.run;
    sync.SetCancelWord(&cancel);
    prompter.SetConfirmed(true, false);
    sync.Run();
    const SyncEnd& end = sync.End();
    if (!end.twoWayProblem.empty()) Terminal::Message(end.twoWayProblem);
    if (!end.journalBroke.empty()) {
        Terminal::Message(end.journalProblem +
                          " The synchronisation stopped before its next change; what it did can "
                          "be undone.");
    } else if (!end.journalProblem.empty()) {
        Terminal::Message(end.journalProblem + " The synchronisation can not be undone in full.");
    }
    if (!compare.quiet) {
        std::string said = end.summary;
        if (end.conflictsLeft > 0) {
            said += "\n" + std::to_string(end.conflictsLeft) +
                    (end.conflictsLeft == 1 ? " conflict is left as it is"
                                            : " conflicts are left as they are") +
                    ": settle with --prefer source|target|newer|older|larger|"
                    "smaller, --conflicts keep-both, or -i.";
        }
        if (json) {
            Terminal::Message(said);
        } else {
            std::printf("%s\n", said.c_str());
        }
    }
    if (end.stopped) return kFailed;
    return end.tally.notDone > 0 || end.conflictsLeft > 0 || !end.twoWayProblem.empty() ||
                   !end.journalProblem.empty()
               ? kPartly
               : kDone;
}

}  // namespace ravelmoor
