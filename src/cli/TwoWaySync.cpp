#include "cli/TwoWaySync.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "cli/InterruptHandler.h"
#include "cli/JsonOutput.h"
#include "cli/Terminal.h"
#include "cli/TerminalPrompter.h"
#include "core/engine/Comparison.h"
#include "core/engine/NameEscape.h"
#include "core/journal/JournalWriter.h"
#include "core/sync/RowOperations.h"
#include "core/sync/SyncSummary.h"
#include "core/twoway/PairMemory.h"
#include "core/twoway/TwoWayRun.h"

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
            std::fprintf(
                out, "  <?>  conflict %s%s\n",
                EscapeName(RowPath(comparison, conflict.row)).c_str(),
                conflict.settled == Settlement::Left
                    ? "  changed on both sides"
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
        text += R"(],"conflicts":[)";
        for (const TwoWayConflict& conflict : part.conflicts) {
            if (text.back() != '[') text.push_back(',');
            text += R"({"path":)";
            AppendJsonString(text, RowPath(comparison, conflict.row));
            text += std::string(R"(,"kind":")") +
                    (conflict.kind == ConflictKind::BothNew ? "new-new" : "changed-changed") +
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
void AskConflicts(Comparison& comparison, SyncPlan& plan, const std::string& stamp) {
    for (TwoWayConflict& conflict : plan.twoWay.conflicts) {
        if (conflict.settled != Settlement::Left) continue;
        const std::string path(RowPath(comparison, conflict.row));
        std::string answer;
        const std::string question = "Conflict " + EscapeName(path) + ": Source " +
                                     FactsText(conflict.source) + ", Target " +
                                     FactsText(conflict.target) +
                                     ". Keep [s]ource, [t]arget, [b]oth, or s[k]ip? ";
        if (!Terminal::Ask(question, answer)) return;
        if (answer == "s" || answer == "source") {
            conflict.settled = Settlement::KeepSource;
            plan.copyToTarget.push_back(conflict.row);
        } else if (answer == "t" || answer == "target") {
            conflict.settled = Settlement::KeepTarget;
            plan.copyToSource.push_back(conflict.row);
        } else if (answer == "b" || answer == "both") {
            // Target's version stays beside Source's under a conflict name.
            conflict.settled = Settlement::KeepBoth;
            RenameStep step;
            step.from = comparison.TargetResults().ElementAt(conflict.row).path.str();
            step.to = ConflictCopyName(step.from, false, stamp);
            step.conflictCopy = true;
            plan.twoWay.renames.push_back(std::move(step));
            plan.copyToTarget.push_back(conflict.row);
        }
    }
    std::sort(plan.copyToTarget.begin(), plan.copyToTarget.end());
    std::sort(plan.copyToSource.begin(), plan.copyToSource.end());
}

// At least ten objects and more than half of a side deleted there.
std::string MassDeletion(Comparison& comparison, const SyncPlan& plan) {
    const std::pair<const std::vector<uint32_t>*, bool> sides[] = {
        {&plan.deleteInTarget, false}, {&plan.twoWay.deleteInSource, true}};
    for (const auto& [rows, onSource] : sides) {
        const FileList& list = onSource ? comparison.SourceResults() : comparison.TargetResults();
        size_t present = 0;
        for (size_t row = 0; row < list.GetSize(); ++row)
            present += list.ElementAt(row).IsBlank() ? 0 : 1;
        if (rows->size() >= 10 && rows->size() * 2 > present) {
            return "The synchronisation would delete " + std::to_string(rows->size()) + " of " +
                   std::to_string(present) + " objects in " + (onSource ? "Source " : "Target ") +
                   EscapeName(onSource ? comparison.SourceRoot() : comparison.TargetRoot()) +
                   ". No (add --allow-mass-delete to let it).";
        }
    }
    return {};
}

}  // namespace

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
    const JournalHeader header = JournalHeaderOf(comparison, "Synchronise Both Ways");
    PairMemory memory;
    if (const MemoryOutcome opened =
            memory.Open(PairMemory::FileFor(header.source.shown, header.target.shown));
        !opened.Ok()) {
        Terminal::Message(opened.reason);
        return kFailed;
    }
    const auto identity = [&](Side side) {
        return comparison.Sides().IsLocal(side)
                   ? LocalRootIdentity(side == Side::Source ? comparison.SourceRoot()
                                                            : comparison.TargetRoot())
                         .text
                   : RemoteRootIdentity(side == Side::Source ? header.source.shown
                                                             : header.target.shown)
                         .text;
    };
    const std::string sourceIdentity = identity(Side::Source);
    const std::string targetIdentity = identity(Side::Target);
    const std::string stamp = Stamp(std::time(nullptr), "%Y%m%d-%H%M%S");

    std::atomic<int32_t> cancel{0};
    const InterruptHandler interrupts(cancel);
    JournalWriter journal;
    SyncTally tally;
    size_t conflictsLeft = 0;
    size_t renameFailures = 0;
    size_t renamesDone = 0;
    bool stopped = false;
    bool firstSync = request.firstSync;
    for (int pass = 0; pass < 3; ++pass) {
        TwoWayInput input;
        input.sourceRoot = comparison.SourceRoot();
        input.targetRoot = comparison.TargetRoot();
        input.sourceLocal = comparison.Sides().IsLocal(Side::Source);
        input.targetLocal = comparison.Sides().IsLocal(Side::Target);
        input.sourceIdentity = sourceIdentity;
        input.targetIdentity = targetIdentity;
        input.firstSync = firstSync;
        input.prefer = request.prefer;
        input.keepBoth = request.keepBoth;
        input.conflictStamp = stamp;
        SyncPlan plan;
        const TwoWayOutcome planned =
            PlanTwoWay(comparison.SourceResults(), comparison.TargetResults(), memory, input, plan);
        if (planned.status == TwoWayStatus::Damaged) {
            Terminal::Message(memory.SetAside(planned.reason).reason);
            return kFailed;
        }
        if (!planned.Ok()) {
            Terminal::Message(planned.reason);
            return kFailed;
        }
        if (request.interactive && pass == 0) AskConflicts(comparison, plan, stamp);
        conflictsLeft = plan.twoWay.ConflictsLeft();
        const PlanLines lines{comparison, plan};
        if (pass == 0 && !compare.quiet && (request.preview || compare.verbose) && !json) {
            lines.Text(stdout);
        }
        if (request.preview) {
            if (json) std::printf("%s,\"dry_run\":true}\n", lines.Json().c_str());
            if (!json && !compare.quiet) {
                std::printf("Dry run: %zu actions, %zu conflicts left. Nothing was changed.\n",
                            plan.Total(), conflictsLeft);
            }
            return plan.Empty() ? kDone : kPartly;
        }
        if (pass == 0) {
            if (const std::string mass = MassDeletion(comparison, plan);
                !mass.empty() && !request.allowMassDelete) {
                Terminal::Message(mass);
                return kFailed;
            }
            if (!request.yes && plan.Total() > 0) {
                lines.Text(stdout);
                if (!prompter.AskYesNo("Carry out these " + std::to_string(plan.Total()) +
                                       " actions?")) {
                    Terminal::Message("Nothing was copied, deleted or renamed.");
                    return kFailed;
                }
            }
            if (!request.noJournal && plan.Total() > 0) {
                if (const JournalOutcome kept = journal.Open(header); !kept.Ok()) {
                    Terminal::Message(kept.reason +
                                      " Nothing was copied or deleted: add --no-journal to "
                                      "synchronise without a journal (it can then not be undone).");
                    return kFailed;
                }
            }
        }
        prompter.SetConfirmed(true, false);
        RowOperations operations(comparison.Rules(), SidesOf(comparison), prompter);
        operations.SetCancelWord(&cancel);
        operations.SetKeepReplaced(request.keepReplaced);
        operations.SetVerify(request.verify);
        if (journal.IsOpen()) operations.SetRecorder(&journal);
        TwoWayRun run(operations, SidesOf(comparison), memory, input.sourceLocal,
                      input.targetLocal);
        const std::string runId = journal.IsOpen() ? journal.Id() : "no-journal-" + stamp;
        if (!run.Run(plan, runId, sourceIdentity, targetIdentity)) {
            Terminal::Message(run.Problem());
            ++renameFailures;
        }
        const SyncTally& done = operations.Tally();
        tally.filesCopied += done.filesCopied;
        tally.bytesCopied += done.bytesCopied;
        tally.foldersMade += done.foldersMade;
        tally.movedToTrash += done.movedToTrash;
        tally.replacedToTrash += done.replacedToTrash;
        tally.deletedForGood += done.deletedForGood;
        tally.foldersRemoved += done.foldersRemoved;
        tally.notDone += done.notDone;
        tally.changed += done.changed;
        renamesDone += run.RenamesDone();
        stopped = operations.Aborted();
        if (pass == 0 && json && !compare.quiet) std::printf("%s}\n", lines.Json().c_str());
        if (stopped || run.RenamesDone() == 0 || renameFailures > 0) break;
        // What moved with a rename is reconciled under its new name.
        firstSync = false;
        if (!compareAgain()) return kFailed;
    }
    std::string summary = SyncSummaryText(tally, stopped, 0.0);
    if (renamesDone > 0) summary += " Renamed: " + std::to_string(renamesDone) + ".";
    journal.Finish(summary, RunEnd(stopped, tally.notDone > 0 || conflictsLeft > 0));
    if (!compare.quiet) {
        std::string said = summary;
        if (conflictsLeft > 0) {
            said += "\n" + std::to_string(conflictsLeft) +
                    (conflictsLeft == 1 ? " conflict is left as it is"
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
    if (stopped) return kFailed;
    return tally.notDone > 0 || conflictsLeft > 0 || renameFailures > 0 ? kPartly : kDone;
}

}  // namespace ravelmoor
