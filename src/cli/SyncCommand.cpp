#include "cli/SyncCommand.h"

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/ClosestWord.h"
#include "cli/ComparisonSession.h"
#include "cli/InterruptHandler.h"
#include "cli/ItemisedProgress.h"
#include "cli/ProblemDetail.h"
#include "cli/ResultPrinter.h"
#include "cli/Terminal.h"
#include "cli/TerminalPrompter.h"
#include "core/engine/Comparison.h"
#include "core/sync/PlanSync.h"
#include "core/sync/PreviewBuilder.h"
#include "core/sync/RowOperations.h"
#include "core/sync/SyncGuards.h"
#include "core/sync/SyncSummary.h"
#include "core/text/Formatting.h"

namespace ravelmoor {
namespace {

constexpr int kDone = 0;    // carried out, or nothing to do
constexpr int kPartly = 1;  // some objects not copied or deleted; --preview: there is work
constexpr int kFailed = 2;  // error, refused or cancelled

struct SyncRequest {
    CompareRequest compare;
    SyncMethod method = SyncMethod::None;
    bool preview = false;
    bool yes = false;
    bool allowMassDelete = false;
    bool keepReplaced = true;
    bool deletePermanently = false;
};

struct MethodWord {
    const char* word;
    SyncMethod method;
};
constexpr MethodWord kMethodWords[] = {
    {"align", SyncMethod::Align},
    {"augment", SyncMethod::Augment},
    {"refresh", SyncMethod::Refresh},
    {"update", SyncMethod::Update},
    {"update-prune", SyncMethod::UpdateAndPrune},
    {"force", SyncMethod::Force},
};

bool ParseSyncMethod(const std::string& value, SyncMethod& method, std::string& error) {
    std::vector<std::string> words;
    for (const auto& [word, candidate] : kMethodWords) {
        if (value == word) {
            method = candidate;
            return true;
        }
        words.emplace_back(word);
    }
    error = "Unknown sync method " + value + DidYouMean(value, words) +
            ": a sync method is align, augment, refresh, update, update-prune or force.";
    if (value == "size-time" || value == "crc" || value == "both") {
        error += " The comparison method is chosen with --by " + value + ".";
    }
    return false;
}

std::string MethodHelp() {
    std::string help = "the sync method:";
    for (const auto& [word, method] : kMethodWords) {
        std::string line = std::string("\n  ") + word;
        line.resize(16, ' ');
        help += line + std::string(SyncMethodText(method));
    }
    return help;
}

// Options of `sync` itself, before those it shares with `compare`.
std::vector<OptionRow> SyncOptionRows(SyncRequest& request) {
    SyncRequest* r = &request;
    return {
        {{"--method"},
         "METHOD",
         MethodHelp(),
         [r](const std::string& value, std::string& error) {
             return ParseSyncMethod(value, r->method, error);
         }},
        {{"-n", "--dry-run", "--preview"},
         {},
         "print what would be copied or deleted; change nothing",
         [r](const std::string&, std::string&) { return r->preview = true; }},
        {{"-y", "--yes"},
         {},
         "answer Yes to every question (needed without\na terminal), except deleting for good "
         "and\ndeleting most of Target",
         [r](const std::string&, std::string&) { return r->yes = true; }},
        {{"--allow-mass-delete"},
         {},
         "with --yes: go on when most of Target would be\ndeleted",
         [r](const std::string&, std::string&) { return r->allowMassDelete = true; }},
        {{"--delete-permanently"},
         {},
         "with --yes: delete for good what no trash takes",
         [r](const std::string&, std::string&) { return r->deletePermanently = true; }},
        {{"--no-keep-replaced"},
         {},
         "do not move the old versions of replaced files\nto the trash",
         [r](const std::string&, std::string&) {
             r->keepReplaced = false;
             return true;
         }},
        {{"-v", "--verbose"},
         {},
         "print each action as it is carried out, itemised like\nrsync -i: >f+++++++++ new file, "
         ">f.st...... replaced,\ncd+++++++++ new folder, *deleting; '<' goes to Source",
         [r](const std::string&, std::string&) { return r->compare.verbose = true; }},
    };
}

void PrintSyncHelp(const std::vector<OptionRow>& rows) {
    std::printf(
        "Usage: ravelmoor sync --method METHOD [OPTIONS] SOURCE TARGET\n"
        "Compares two folder trees, then copies and deletes as the method says.\n\n%s"
        "  -h, --help              print this help\n%s"
        "\nExit status: 0 carried out or nothing to do; 1 some objects were not copied or\n"
        "deleted (with --dry-run: there is work to do); 2 error, refused or cancelled.\n",
        OptionsHelp(rows).c_str(), FtpSideHelp());
}

class TerminalProgress : public ProgressText {
  public:
    void Show(std::string_view text) override {
        Terminal::ShowProgress("Synchronising... " + std::string(text));
    }
};

int CarryOut(Comparison& comparison, const SyncSides& sides, const SyncPlan& plan,
             Prompter& prompter, const SyncRequest& request) {
    const CompareRequest& compare = request.compare;
    std::atomic<int32_t> cancel{0};
    const InterruptHandler interrupts(cancel);
    TerminalProgress progress;
    std::optional<ItemisedProgress> itemised;
    if (compare.verbose && !compare.quiet) itemised.emplace(sides, plan, progress);
    RowOperations operations(comparison.Rules(), sides, prompter);
    operations.SetProgress(itemised ? &*itemised : static_cast<ProgressText*>(&progress));
    operations.SetCancelWord(&cancel);
    operations.SetKeepReplaced(request.keepReplaced);
    const auto start = std::chrono::steady_clock::now();
    RunSyncPlan(operations, plan);
    const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
    Terminal::ClearProgress();

    if (!compare.quiet) PrintResults(comparison, compare.format, compare.showAll, stdout);
    const std::string summary =
        SyncSummaryText(operations.Tally(), operations.Aborted(), taken.count());
    if (compare.quiet) {
        // Errors only: what was not done has been said as it happened.
    } else if (compare.format == OutputFormat::Text) {
        std::printf("%s\n", summary.c_str());
        std::fflush(stdout);
    } else {
        std::fflush(stdout);
        Terminal::Message(summary);
    }
    if (operations.Aborted()) return kFailed;
    return operations.Tally().notDone > 0 ? kPartly : kDone;
}

}  // namespace

int RunSyncCommand(ArgumentList& args) {
    SyncRequest request;
    std::string error;
    std::vector<OptionRow> rows = SyncOptionRows(request);
    for (OptionRow& row : CompareOptionRows(request.compare, /*methodIsComparison=*/false)) {
        rows.push_back(std::move(row));
    }
    ParsedWords parsed;
    if (!ParseOptions(args.TakeRest(), rows, "sync", parsed, error)) {
        Terminal::Message(error);
        return kFailed;
    }
    if (parsed.help) {
        PrintSyncHelp(rows);
        return kDone;
    }
    request.compare.positional = std::move(parsed.positional);
    Terminal::SetQuiet(request.compare.quiet);
    if (request.method == SyncMethod::None) {
        Terminal::Message(WithSubject(kSelectMethodMessage,
                                      "--method align|augment|refresh|update|update-prune|force"));
        return kFailed;
    }
    if (!TakeFolders(request.compare, error)) {
        Terminal::Message(error);
        return kFailed;
    }
    if (!request.preview && !request.yes && !Terminal::StdinIsTerminal()) {
        Terminal::Message(
            "There is no terminal to confirm the synchronisation on: add --yes to carry it out "
            "without questions, or --dry-run to see what it would do.");
        return kFailed;
    }

    TerminalPrompter prompter(request.yes, request.deletePermanently);
    Comparison comparison(prompter);
    if (!CompareFromRequest(request.compare, comparison, prompter)) return kFailed;
    const std::string unlistable = comparison.UnlistableFoldersWarning();
    if (!unlistable.empty()) Terminal::Message(unlistable);
    const std::string refused = ProtectedFolderProblem(request.method, comparison);
    if (!refused.empty()) {
        Terminal::Message(refused);
        return kFailed;
    }
    const SyncPlan plan =
        PlanSync(comparison.SourceResults(), comparison.TargetResults(), request.method);
    const std::string_view problem = PlanProblem(request.method, plan);
    const bool quiet = request.compare.quiet;
    if (!problem.empty()) {
        if (!quiet) std::printf("%s\n", std::string(problem).c_str());
        return kDone;
    }
    if (request.preview) {
        const std::string text = PreviewPlainText(ListedSidesOf(comparison), plan);
        if (!quiet) std::fwrite(text.data(), 1, text.size(), stdout);
        return kPartly;
    }
    if (!request.yes) {
        if (!prompter.AskYesNo(ConfirmSyncQuestion(request.method))) {
            Terminal::Message("Nothing was copied or deleted.");
            return kFailed;
        }
    }
    const DeletionShare deletions = CountDeletions(comparison, plan);
    if (deletions.IsMass()) {
        const std::string question = MassDeletionQuestion(deletions, comparison.TargetFolder());
        const bool goOn =
            request.yes ? request.allowMassDelete : prompter.AskYesNoDefaultNo(question);
        if (!goOn) {
            Terminal::Message(request.yes ? question + " No (add --allow-mass-delete to let it)."
                                          : std::string("Nothing was copied or deleted."));
            return kFailed;
        }
    }
    // The comparison has closed its FTP connection; the side opens a new one
    // for the copies and deletions.
    return CarryOut(comparison, SidesOf(comparison), plan, prompter, request);
}

}  // namespace ravelmoor
