#include "cli/SyncCommand.h"

#include <chrono>
#include <cstdio>
#include <string>

#include "cli/ComparisonSession.h"
#include "cli/InterruptHandler.h"
#include "cli/ResultPrinter.h"
#include "cli/Terminal.h"
#include "cli/TerminalPrompter.h"
#include "engine/FolderComparer.h"
#include "results/Formatting.h"
#include "sync/PlanSync.h"
#include "sync/PreviewBuilder.h"
#include "sync/RowOperations.h"
#include "sync/SyncGuards.h"

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

void PrintSyncHelp() {
    std::printf(
        "Usage: ravelmoor sync --method METHOD [OPTIONS] SOURCE TARGET\n"
        "Compares two folder trees, then copies and deletes as the method says.\n\n"
        "  --method METHOD         the sync method:\n");
    for (const auto& [word, method] : kMethodWords) {
        std::printf("      %-14s %s\n", word, std::string(SyncMethodText(method)).c_str());
    }
    std::printf(
        "  --preview               print what would be copied or deleted; change nothing\n"
        "  --yes                   answer Yes to every question (needed without a terminal),\n"
        "                          except deleting for good and deleting most of Target\n"
        "  --allow-mass-delete     with --yes: go on when most of Target would be deleted\n"
        "  --delete-permanently    with --yes: delete for good what no trash takes\n"
        "  --no-keep-replaced      do not move the old versions of replaced files to the trash\n"
        "%s"
        "\nExit status: 0 carried out or nothing to do; 1 some objects were not copied or\n"
        "deleted (with --preview: there is work to do); 2 error, refused or cancelled.\n",
        CompareOptionsHelp());
}

bool IsMethodOption(const std::string& word) {
    return word == "--method" || word.starts_with("--method=");
}

// Options of `sync` itself; ParseCompareOption has had its turn.
bool ParseSyncOption(ArgumentList& args, SyncRequest& request, std::string& error) {
    const std::string word = args.Peek();
    if (word == "--preview") {
        args.Take();
        request.preview = true;
    } else if (word == "--yes" || word == "-y") {
        args.Take();
        request.yes = true;
    } else if (word == "--allow-mass-delete") {
        args.Take();
        request.allowMassDelete = true;
    } else if (word == "--no-keep-replaced") {
        args.Take();
        request.keepReplaced = false;
    } else if (word == "--delete-permanently") {
        args.Take();
        request.deletePermanently = true;
    } else if (IsMethodOption(word)) {
        std::string value;
        if (!args.TakeValue("--method", value, error)) return false;
        for (const auto& [name, method] : kMethodWords) {
            if (value == name) request.method = method;
        }
        if (request.method == SyncMethod::None) {
            error = "Unknown method " + value +
                    ": a sync method is align, augment, refresh, update, update-prune or force; "
                    "a comparison method is size-time, crc or both.";
            return false;
        }
    } else {
        error = "Unknown option " + word + " (see ravelmoor sync --help).";
        return false;
    }
    return true;
}

class TerminalProgress : public ProgressText {
  public:
    void Show(std::string_view text) override {
        Terminal::ShowProgress("Synchronising... " + std::string(text));
    }
};

std::string Plural(uint64_t n, const char* one, const char* many) {
    return FormatSize(n) + " " + (n == 1 ? one : many);
}

std::string Summary(const SyncTally& tally, bool stopped, double seconds) {
    char time[64];
    std::snprintf(time, sizeof time, "%.1f seconds", seconds);
    std::string line = std::string(stopped ? "Stopped after " : "Synchronised in ") + time + ": " +
                       Plural(tally.filesCopied, "file", "files") + " copied (" +
                       Plural(tally.bytesCopied, "byte", "bytes") + ")";
    auto add = [&line](uint64_t n, const char* one, const char* many) {
        if (n > 0) line += ", " + Plural(n, one, many);
    };
    add(tally.foldersMade, "folder made", "folders made");
    line += ", " + Plural(tally.movedToTrash, "object", "objects") + " moved to the trash";
    add(tally.replacedToTrash, "replaced file kept in the trash",
        "replaced files kept in the trash");
    add(tally.deletedForGood, "object deleted permanently", "objects deleted permanently");
    add(tally.foldersRemoved, "folder removed", "folders removed");
    line += ".";
    if (tally.notDone > 0) {
        line +=
            " " + Plural(tally.notDone, "object was", "objects were") + " not copied or deleted";
        if (tally.changed > 0) {
            line += " (" + FormatSize(tally.changed) + " changed since the comparison)";
        }
        line += ".";
    }
    return line;
}

int CarryOut(FolderComparer& comparer, const SyncSides& sides, const SyncPlan& plan,
             Prompter& prompter, const SyncRequest& request) {
    const CompareRequest& compare = request.compare;
    std::atomic<int32_t> cancel{0};
    const InterruptHandler interrupts(cancel);
    TerminalProgress progress;
    RowOperations operations(comparer, sides, prompter);
    operations.SetProgress(&progress);
    operations.SetCancelWord(&cancel);
    operations.SetKeepReplaced(request.keepReplaced);
    const auto start = std::chrono::steady_clock::now();
    RunSyncPlan(operations, plan);
    const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
    Terminal::ClearProgress();

    PrintResults(comparer, compare.format, compare.showAll, stdout);
    const std::string summary = Summary(operations.Tally(), operations.Aborted(), taken.count());
    if (compare.format == OutputFormat::Text) {
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
    while (!args.AtEnd()) {
        const std::string& word = args.Peek();
        if (word == "-h" || word == "--help") {
            PrintSyncHelp();
            return kDone;
        }
        ParseOutcome outcome = ParseCompareOption(args, request.compare, error);
        if (outcome == ParseOutcome::NotMine) {
            outcome =
                ParseSyncOption(args, request, error) ? ParseOutcome::Handled : ParseOutcome::Error;
        }
        if (outcome == ParseOutcome::Error) {
            Terminal::Message(error);
            return kFailed;
        }
    }
    if (request.method == SyncMethod::None) {
        Terminal::Message(kSelectMethodMessage);
        return kFailed;
    }
    if (!TakeFolders(request.compare, error)) {
        Terminal::Message(error);
        return kFailed;
    }
    if (!request.preview && !request.yes && !Terminal::StdinIsTerminal()) {
        Terminal::Message(
            "There is no terminal to confirm the synchronisation on: add --yes to carry it out "
            "without questions, or --preview to see what it would do.");
        return kFailed;
    }

    TerminalPrompter prompter(request.yes, request.deletePermanently);
    FolderComparer comparer(prompter);
    if (!CompareFromRequest(request.compare, comparer)) return kFailed;
    const std::string unlistable = comparer.UnlistableFoldersWarning();
    if (!unlistable.empty()) Terminal::Message(unlistable);
    const std::string refused = ProtectedFolderProblem(request.method, comparer);
    if (!refused.empty()) {
        Terminal::Message(refused);
        return kFailed;
    }
    const SyncPlan plan =
        PlanSync(comparer.SourceResults(), comparer.TargetResults(), request.method);
    const std::string_view problem = PlanProblem(request.method, plan);
    if (!problem.empty()) {
        std::printf("%s\n", std::string(problem).c_str());
        return kDone;
    }
    if (request.preview) {
        const std::string text = PreviewPlainText(ListedSidesOf(comparer), plan);
        std::fwrite(text.data(), 1, text.size(), stdout);
        return kPartly;
    }
    if (!request.yes) {
        if (!prompter.AskYesNo(ConfirmSyncQuestion(request.method))) {
            Terminal::Message("Nothing was copied or deleted.");
            return kFailed;
        }
    }
    const DeletionShare deletions = CountDeletions(comparer, plan);
    if (deletions.IsMass()) {
        const std::string question = MassDeletionQuestion(deletions, comparer.TargetFolder());
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
    return CarryOut(comparer, SidesOf(comparer), plan, prompter, request);
}

}  // namespace ravelmoor
