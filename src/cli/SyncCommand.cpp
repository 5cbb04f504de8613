#include "cli/SyncCommand.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "cli/ClosestWord.h"
#include "cli/ComparisonSession.h"
#include "cli/InterruptHandler.h"
#include "cli/JsonOutput.h"
#include "cli/JsonStream.h"
#include "cli/PlanPrinter.h"
#include "cli/PlannedActions.h"
#include "cli/ProblemDetail.h"
#include "cli/SyncLog.h"
#include "cli/SyncProgress.h"
#include "cli/Terminal.h"
#include "cli/TerminalPrompter.h"
#include "cli/TwoWaySync.h"
#include "core/engine/Comparison.h"
#include "core/engine/NameEscape.h"
#include "core/folders/FolderText.h"
#include "core/journal/RootLock.h"
#include "core/launch/CompareLaunch.h"
#include "core/launch/MadeFolder.h"
#include "core/launch/StartComparison.h"
#include "core/launch/StartSync.h"
#include "core/local/LocalFileSystem.h"
#include "core/settings/Settings.h"
#include "core/settings/SettingsStore.h"
#include "core/sync/PlanSync.h"
#include "core/sync/SyncGuards.h"
#include "core/text/Formatting.h"

namespace ravelmoor {
namespace {

constexpr int kDone = 0;    // carried out, or nothing to do
constexpr int kPartly = 1;  // some objects not copied or deleted; --preview: there is work
constexpr int kFailed = 2;  // error, refused or cancelled

constexpr const char* kLeftOutMessage =
    "The objects that could not be read (named above) were left out: the folders are not known "
    "to agree.";

struct SyncRequest {
    CompareRequest compare;
    SyncMethod method = SyncMethod::None;
    bool preview = false;
    bool yes = false;
    bool interactive = false;
    std::string logPath;
    bool allowMassDelete = false;
    bool keepReplaced = true;
    bool deletePermanently = false;
    int versionDays = -1;  // --keep-versions; below 0: as the settings say
    bool noJournal = false;
    bool verify = true;
    bool makeTarget = false;  // --mkpath
    TwoWayRequest twoWay;
};

struct MethodWord {
    const char* word;
    SyncMethod method;
    const char* what;  // one line, for a person choosing
};
constexpr MethodWord kMethodWords[] = {
    {"align", SyncMethod::Align, "copy new and newer files both ways"},
    {"augment", SyncMethod::Augment, "copy to Target what only Source has"},
    {"refresh", SyncMethod::Refresh, "copy newer Source files over older"},
    {"update", SyncMethod::Update, "augment and refresh Target"},
    {"update-prune", SyncMethod::UpdateAndPrune, "update; delete what only Target has"},
    {"force", SyncMethod::Force, "make Target a copy of Source"},
    {"two-way", SyncMethod::TwoWay, "bring over what changed on either side"},
};

// One line per method: its word, then what it does.
std::string MethodLines(const char* indent) {
    std::string lines;
    for (const auto& [word, method, what] : kMethodWords) {
        std::string line = std::string("\n") + indent + word;
        line.resize(std::string_view(indent).size() + 15, ' ');
        lines += line + what;
    }
    return lines;
}

OptionOutcome ParseSyncMethod(const std::string& value, SyncMethod& method) {
    std::vector<std::string> words;
    for (const auto& [word, candidate, what] : kMethodWords) {
        if (value == word) {
            method = candidate;
            return {};
        }
        words.emplace_back(word);
    }
    std::string error =
        "Unknown sync method " + value + DidYouMean(value, words) +
        ": a sync method is align, augment, refresh, update, update-prune, force or two-way.";
    if (value == "size-time" || value == "crc" || value == "both") {
        error += " The comparison method is chosen with --by " + value + ".";
    }
    return Refused(std::move(error));
}

std::string_view SyncMethodWord(SyncMethod method) {
    for (const auto& [word, candidate, what] : kMethodWords) {
        if (candidate == method) return word;
    }
    return "none";
}

std::string MethodHelp() {
    return "the sync method:" + MethodLines("  ");
}

// Options of `sync` itself, before those it shares with `compare`.
std::vector<OptionRow> SyncOptionRows(SyncRequest& request) {
    SyncRequest* r = &request;
    return {
        {{"--method"},
         "METHOD",
         MethodHelp(),
         [r](const std::string& value) { return ParseSyncMethod(value, r->method); }},
        {{"-n", "--dry-run", "--preview"},
         {},
         "print what would be copied or deleted; change nothing",
         [r](const std::string&) {
             r->preview = true;
             return OptionOutcome();
         }},
        {{"-y", "--yes"},
         {},
         "answer Yes to every question (needed without\na terminal), except deleting for good "
         "and\ndeleting most of Target",
         [r](const std::string&) {
             r->yes = true;
             return OptionOutcome();
         }},
        {{"-i", "--interactive"},
         {},
         "also ask before each replacement, before moving\nto the trash and after each failure",
         [r](const std::string&) {
             r->interactive = true;
             return OptionOutcome();
         }},
        {{"--log"},
         "FILE",
         "append a record of every action and its outcome\nto FILE",
         [r](const std::string& value) {
             r->logPath = value;
             return OptionOutcome();
         }},
        {{"--allow-mass-delete"},
         {},
         "with --yes: go on when most of Target would be\ndeleted",
         [r](const std::string&) {
             r->allowMassDelete = true;
             return OptionOutcome();
         }},
        {{"--delete-permanently"},
         {},
         "with --yes: delete for good what no trash takes;\non a server, keep no versions",
         [r](const std::string&) {
             r->deletePermanently = true;
             return OptionOutcome();
         }},
        {{"--no-journal"},
         {},
         "go on when the journal of the sync can not be\nwritten (it can then not be undone)",
         [r](const std::string&) {
             r->noJournal = true;
             return OptionOutcome();
         }},
        {{"--no-verify"},
         {},
         "put copies in place without reading them back\n(faster; a byte changed on its way "
         "then goes\nunnoticed)",
         [r](const std::string&) {
             r->verify = false;
             return OptionOutcome();
         }},
        {{"--no-keep-replaced"},
         {},
         "do not keep the old versions of replaced files\n(in the trash, or on a server)",
         [r](const std::string&) {
             r->keepReplaced = false;
             return OptionOutcome();
         }},
        {{"--keep-versions"},
         "DAYS",
         "keep what is replaced or deleted on an FTP or\nSFTP server for DAYS days, in\n"
         ".ravelmoor-versions/YYYY-MM-DD-HHMMSS (the\nsync's start, UTC) at the connection's "
         "folder\n(default: the setting, 30); older ones go at\nthe start of a sync there",
         [r](const std::string& value) {
             char* end = nullptr;
             const long days = std::strtol(value.c_str(), &end, 10);
             if (value.empty() || *end != '\0' || days < 0 || days > kMaxVersionDays) {
                 return Refused("--keep-versions takes a number of days from 0 to " +
                                std::to_string(kMaxVersionDays) + ", not " + value + ".");
             }
             r->versionDays = static_cast<int>(days);
             return OptionOutcome();
         }},
        {{"--mkpath"},
         {},
         "make the Target folder, and the folders above it,\nwhen it is not there yet",
         [r](const std::string&) {
             r->makeTarget = true;
             return OptionOutcome();
         }},
        {{"-v", "--verbose"},
         {},
         "print each action as it is done (with --dry-run:\nplanned), itemised like rsync -i: "
         ">f+++++++++\nnew file, >f.st...... replaced, cd+++++++++ new\nfolder, *deleting; "
         "'<' goes to Source (on\nstandard error with --format json)",
         [r](const std::string&) {
             r->compare.verbose = true;
             return OptionOutcome();
         }},
    };
}

void PrintSyncHelp(const std::vector<OptionRow>& rows) {
    std::printf(
        "Usage: ravelmoor sync --method METHOD [OPTIONS] SOURCE TARGET\n"
        "Compares two folder trees, then copies and deletes as the method says. Without\n"
        "--yes it asks once for each side that changes, showing what will be copied,\n"
        "replaced and deleted there; Enter answers No.\n\n%s"
        "  -h, --help              print this help\n%s"
        "\nTwo-way (--method two-way) remembers each pair of folders (in\n"
        "$XDG_STATE_HOME/ravelmoor/pairs/) and brings over what changed on either side\n"
        "since the last run: new, changed, deleted and renamed objects. What changed on\n"
        "both sides is a conflict, left as it is unless --prefer, --conflicts keep-both\n"
        "or -i settles it. The first run of a pair never deletes.\n"
        "\nExit status: 0 carried out or nothing to do; 1 some objects were not copied or\n"
        "deleted, or some could not be read and were left out, or conflicts were left\n"
        "(with --dry-run: there is work to do); 2 error, refused or cancelled.\n",
        OptionsHelp(rows).c_str(), RemoteSideHelp());
}

// A side on a server (FTP or SFTP) has no trash: what is deleted there is
// kept in its versions folder, or with --delete-permanently gone for good.
VersionKeeping KeepingOf(const SyncRequest& request) {
    VersionKeeping keeping;
    keeping.keep = !request.deletePermanently;
    keeping.days = request.versionDays;
    return keeping;
}

KeptIn SideKeeps(const SyncRequest& request, const Comparison& comparison, ListSide side) {
    return KeptInOf(comparison, side, KeepingOf(request));
}

PlanWording WordingOf(const SyncRequest& request, const Comparison& comparison) {
    return {SideKeeps(request, comparison, ListSide::Target),
            SideKeeps(request, comparison, ListSide::Source), request.keepReplaced};
}

// The JSON document of a sync that was planned, declined or carried out.
struct SyncOutput {
    const SyncRequest& request;
    const Comparison& comparison;
    const PlannedActions& actions;

    void Json(bool dryRun, bool stopped, std::string_view message) const {
        if (request.compare.format != OutputFormat::Json || request.compare.quiet) return;
        JsonStream document(stdout);
        document.Text() = JsonDocumentStart("ravelmoor-sync", comparison);
        AppendSyncActions(document, SyncMethodWord(request.method), actions, dryRun, stopped);
        if (!message.empty()) {
            document.Text() += ",\"message\":";
            AppendJsonString(document.Text(), message);
        }
        document.Text().push_back('}');
        document.End();
    }
};

// Asks once for each side that changes; a side that is not confirmed keeps
// its actions, declined. Returns the plan that is left to carry out.
SyncPlan Confirm(const SyncRequest& request, Comparison& comparison, const SyncPlan& plan,
                 PlannedActions& actions, TerminalPrompter& prompter) {
    const DeletionShare deletions = CountDeletions(comparison, plan);
    SyncPlan run = plan;
    for (const ListSide side : {ListSide::Target, ListSide::Source}) {
        const SideTotals totals = actions.Totals(side);
        if (totals.Count() == 0) continue;
        std::string warning;
        if (side == ListSide::Target && deletions.IsMass()) {
            warning = MassDeletionQuestion(deletions, comparison.TargetFolder());
            constexpr std::string_view kGoOn = " Do you want to go on?";
            if (warning.ends_with(kGoOn)) warning.resize(warning.size() - kGoOn.size());
        }
        const std::string& root =
            side == ListSide::Source ? comparison.SourceRoot() : comparison.TargetRoot();
        const std::string question =
            SideQuestion(request.method, side, root, totals, SideKeeps(request, comparison, side),
                         request.keepReplaced, warning);
        if (prompter.AskYesNo(question)) continue;
        actions.SettleRest(side, ActionOutcome::Declined, "not confirmed");
        if (side == ListSide::Target) {
            run.copyToTarget.clear();
            run.deleteInTarget.clear();
        } else {
            run.copyToSource.clear();
        }
    }
    return run;
}

int CarryOut(Comparison& comparison, const SyncPlan& run, PlannedActions& actions,
             TerminalPrompter& prompter, const SyncRequest& request, SyncLog& log) {
    const CompareRequest& compare = request.compare;
    std::atomic<int32_t> cancel{0};
    const InterruptHandler interrupts(cancel);
    FILE* itemised = nullptr;
    if (compare.verbose && !compare.quiet) {
        itemised = compare.format == OutputFormat::Json ? stderr : stdout;
    }
    SyncProgress progress(actions, itemised);
    log.Follow(actions);
    // No journal, no sync: what it changed could not be undone. Only the
    // person's own word lets it go on without one.
    const SyncStart start = StartSync(comparison,
                                      {request.method, run, request.keepReplaced, request.verify,
                                       request.noJournal, KeepingOf(request)},
                                      prompter);
    if (!start.outcome.Ok()) {
        const std::string refused =
            start.outcome.reason +
            " Nothing was copied or deleted: add --no-journal to synchronise without a journal "
            "(it can then not be undone).";
        actions.SettleRest(ActionOutcome::Skipped, "no journal");
        log.End(refused);
        SyncOutput{request, comparison, actions}.Json(false, true, refused);
        Terminal::Message(refused);
        return kFailed;
    }
    SyncExecution& sync = *start.run;
    sync.SetProgress(&progress);
    sync.SetCancelWord(&cancel);
    sync.SetObserver(&actions);
    if (itemised != nullptr) {
        sync.SetVersionNotice([itemised](const std::string& text) {
            Terminal::ClearProgress();
            std::fprintf(itemised, "%s\n", text.c_str());
        });
    }
    // The batches' own questions were answered by the confirmation; deleting
    // for good was part of it only on a side that keeps nothing.
    sync.SetBatchHooks(
        [&](ListSide side) {
            prompter.SetConfirmed(true, SideKeeps(request, comparison, side) == KeptIn::Nowhere);
        },
        {});
    sync.Run();
    Terminal::ClearProgress();
    const SyncEnd& end = sync.End();
    actions.SettleRest(ActionOutcome::Skipped, "the sync was stopped");
    log.End(end.summary);
    if (!end.journalBroke.empty()) {
        Terminal::Message(end.journalProblem +
                          " The synchronisation stopped before its next change; what it did can "
                          "be undone.");
    } else if (!end.journalProblem.empty()) {
        Terminal::Message(end.journalProblem + " The synchronisation can not be undone in full.");
    }
    // What was done, not the comparison as it stands now: that is one compare away.
    if (!compare.quiet && compare.format == OutputFormat::Tsv) {
        PrintActions(actions, WordingOf(request, comparison), OutputFormat::Tsv, false, stdout);
    }
    SyncOutput{request, comparison, actions}.Json(false, end.stopped, {});
    if (compare.quiet) {
        // Errors only: what was not done has been said as it happened.
    } else if (compare.format == OutputFormat::Text) {
        std::printf("%s\n", end.summary.c_str());
        Terminal::FlushOutput();
    } else {
        Terminal::FlushOutput();
        Terminal::Message(end.summary);
    }
    if (end.stopped) return kFailed;
    return end.tally.notDone > 0 || actions.Count(ActionOutcome::Declined) > 0 ||
                   !end.journalProblem.empty()
               ? kPartly
               : kDone;
}

}  // namespace

int RunSyncCommand(ArgumentList& args) {
    SyncRequest request;
    std::vector<OptionRow> rows = SyncOptionRows(request);
    for (OptionRow& row : TwoWayOptionRows(request.twoWay))
        rows.push_back(std::move(row));
    for (OptionRow& row : CompareOptionRows(request.compare, /*methodIsComparison=*/false)) {
        rows.push_back(std::move(row));
    }
    ParsedWords parsed;
    if (const OptionOutcome outcome = ParseOptions(args.TakeRest(), rows, "sync", parsed);
        !outcome.Ok()) {
        Terminal::Message(outcome.reason);
        return kFailed;
    }
    if (parsed.help) {
        PrintSyncHelp(rows);
        return kDone;
    }
    request.compare.positional = std::move(parsed.positional);
    Terminal::SetQuiet(request.compare.quiet);
    if (request.versionDays < 0) request.versionDays = StoredVersionDays(SettingsStore());
    if (request.method == SyncMethod::None) {
        Terminal::Message(
            std::string(kSelectMethodMessage.substr(0, kSelectMethodMessage.size() - 1)) +
            " with --method:" + MethodLines("  "));
        return kFailed;
    }
    if (const OptionOutcome outcome = TakeFolders(request.compare); !outcome.Ok()) {
        Terminal::Message(outcome.reason);
        return kFailed;
    }
    if (request.interactive && request.yes) {
        Terminal::Message("--interactive asks what --yes answers: give one of them.");
        return kFailed;
    }
    if (!request.preview && !request.yes && !Terminal::StdinIsTerminal()) {
        Terminal::Message(
            "There is no terminal to confirm the synchronisation on: add --yes to carry it out "
            "without questions, or --dry-run to see what it would do.");
        return kFailed;
    }
    // A log that can not be written stops the sync before anything is read.
    SyncLog log;
    if (!request.logPath.empty()) {
        if (const WriteOutcome opened = log.Open(request.logPath); !opened.Ok()) {
            Terminal::Message(opened.reason);
            return kFailed;
        }
    }

    // --mkpath: a Target that is not there yet is made once Source is known
    // to be there; removed again when the sync stops before it writes.
    MadeFolder madeTarget;
    const std::string target = NormaliseFolder(request.compare.job.targetFolder);
    const std::string& source = request.compare.job.sourceFolder;
    const bool missingTarget =
        !DesignatesRemoteFolder(target) && IsMissingPath(target) &&
        (DesignatesRemoteFolder(source) || IsExistingFolder(NormaliseFolder(source)));
    if (missingTarget && !request.makeTarget) {
        // rsync and rclone make it: say how to have it made.
        Terminal::Message(WithSubject("Target folder not found", EscapeName(target),
                                      "No such file or directory") +
                          "; add --mkpath to make it.");
        return kFailed;
    }
    if (missingTarget && request.preview) {
        const std::string plan = "Dry run: would make the Target folder " + EscapeName(target) +
                                 " and copy all of Source into it. Nothing was changed.";
        if (request.compare.format == OutputFormat::Text) {
            if (!request.compare.quiet) std::printf("%s\n", plan.c_str());
        } else {
            Terminal::Info(plan);
        }
        return kPartly;
    }
    if (missingTarget) {
        if (const LaunchOutcome made = madeTarget.Make(target); !made.Ok()) {
            Terminal::Message(made.reason);
            return kFailed;
        }
    }

    // One run per tree at a time, from before the comparison on, so that
    // what this run compares is not what another one is changing.
    SyncLocks locks;
    if (!request.preview) {
        if (const LockOutcome locked = LockSidesOf(request.compare.job, locks); !locked.Ok()) {
            Terminal::Message(locked.reason);
            return kFailed;
        }
    }
    TerminalPrompter prompter(request.yes, request.deletePermanently);
    prompter.SetInteractive(request.interactive);
    SideProvider sides(prompter, std::make_shared<LocalFileSystem>());
    Comparison comparison(sides);
    if (!CompareFromRequest(request.compare, comparison, prompter)) return kFailed;
    for (const std::string& unread :
         {comparison.UnlistableFoldersWarning(), comparison.UnreadableFilesWarning()}) {
        if (!unread.empty()) Terminal::Message(unread);
    }
    // Rows the comparison could not see, or had to keep away from (names that
    // clash by case), are left out of any sync: it can not end with success.
    const bool leftOut = !comparison.Complete() || !comparison.CaseClashes().empty();
    if (const Outcome<GuardStatus> allowed = CheckProtectedFolders(request.method, comparison);
        !allowed.Ok()) {
        Terminal::Message(allowed.reason);
        return kFailed;
    }
    if (request.method == SyncMethod::TwoWay) {
        if (leftOut) Terminal::Message(kLeftOutMessage);
        madeTarget.Keep();
        TwoWayRequest twoWay = request.twoWay;
        twoWay.preview = request.preview;
        twoWay.yes = request.yes;
        twoWay.interactive = request.interactive;
        twoWay.allowMassDelete = request.allowMassDelete;
        twoWay.keepReplaced = request.keepReplaced;
        twoWay.verify = request.verify;
        twoWay.noJournal = request.noJournal;
        const int status = RunTwoWaySync(twoWay, request.compare, comparison, prompter, [&] {
            return CompareFromRequest(request.compare, comparison, prompter);
        });
        return leftOut && status == kDone ? kPartly : status;
    }
    const SyncPlan plan =
        PlanSync(comparison.SourceResults(), comparison.TargetResults(), request.method);
    PlannedActions actions(comparison, plan);
    const SyncOutput output{request, comparison, actions};
    const Outcome<PlanStatus> ready = CheckPlan(request.method, plan);
    const std::string_view problem = ready.reason;
    const bool quiet = request.compare.quiet;
    const bool json = request.compare.format == OutputFormat::Json;
    if (!ready.Ok()) {
        madeTarget.Keep();  // asked for, even with nothing to copy into it
        log.Start(comparison, SyncMethodWord(request.method), request.preview);
        log.End(problem);
        output.Json(request.preview, false, problem);
        if (!quiet && !json) std::printf("%s\n", std::string(problem).c_str());
        if (leftOut) Terminal::Message(kLeftOutMessage);
        return leftOut ? kPartly : kDone;
    }
    if (request.preview) {
        log.Start(comparison, SyncMethodWord(request.method), /*dryRun=*/true);
        for (const PlannedAction& action : actions.All())
            log.Action(action);
        log.End("Dry run: nothing was copied or deleted.");
        output.Json(/*dryRun=*/true, false, {});
        if (!quiet && !json) {
            const PlanWording wording = WordingOf(request, comparison);
            PrintActions(actions, wording, request.compare.format, request.compare.verbose, stdout);
            const std::string summary = DryRunSummary(actions, wording);
            if (request.compare.format == OutputFormat::Text) {
                std::printf("%s\n", summary.c_str());
            } else {
                Terminal::FlushOutput();
                Terminal::Message(summary);
            }
        }
        return kPartly;
    }
    SyncPlan run = plan;
    if (request.yes) {
        const DeletionShare deletions = CountDeletions(comparison, plan);
        if (deletions.IsMass() && !request.allowMassDelete) {
            Terminal::Message(MassDeletionQuestion(deletions, comparison.TargetFolder()) +
                              " No (add --allow-mass-delete to let it).");
            return kFailed;
        }
    } else {
        run = Confirm(request, comparison, plan, actions, prompter);
    }
    log.Start(comparison, SyncMethodWord(request.method), /*dryRun=*/false);
    if (run.Empty()) {
        for (const PlannedAction& action : actions.All())
            log.Action(action);
        const std::string_view nothing = "Nothing was copied or deleted.";
        log.End(nothing);
        output.Json(false, false, nothing);
        Terminal::Message(nothing);
        return kFailed;
    }
    // What a side that was not confirmed keeps is recorded first.
    for (const PlannedAction& action : actions.All()) {
        if (action.outcome == ActionOutcome::Declined) log.Action(action);
    }
    // The comparison has closed its server connection; the side opens a new one
    // for the copies and deletions.
    madeTarget.Keep();
    const int status = CarryOut(comparison, run, actions, prompter, request, log);
    if (leftOut && status == kDone) {
        Terminal::Message(kLeftOutMessage);
        return kPartly;
    }
    return status;
}

}  // namespace ravelmoor
