#include "cli/UndoCommand.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "cli/InterruptHandler.h"
#include "cli/Terminal.h"
#include "cli/TerminalPrompter.h"
#include "core/engine/NameEscape.h"
#include "core/journal/JournalStore.h"
#include "core/launch/StartUndo.h"

namespace ravelmoor {
namespace {

constexpr int kDone = 0;
constexpr int kPartly = 1;
constexpr int kFailed = 2;

struct UndoRequest {
    std::string id;
    bool dryRun = false;
    bool yes = false;
    bool force = false;
    bool noJournal = false;
};

std::vector<OptionRow> UndoOptionRows(UndoRequest& request) {
    UndoRequest* r = &request;
    return {
        {{"-n", "--dry-run"},
         {},
         "print the steps undo would take; change nothing",
         [r](const std::string&) {
             r->dryRun = true;
             return OptionOutcome();
         }},
        {{"-y", "--yes"},
         {},
         "carry it out without asking (needed without a\nterminal)",
         [r](const std::string&) {
             r->yes = true;
             return OptionOutcome();
         }},
        {{"--force"},
         {},
         "also undo objects changed since the sync, their\nchanged versions going to the "
         "trash first",
         [r](const std::string&) {
             r->force = true;
             return OptionOutcome();
         }},
        {{"--no-journal"},
         {},
         "go on when no journal of the undo can be written\n(it can then not be undone or "
         "finished later)",
         [r](const std::string&) {
             r->noJournal = true;
             return OptionOutcome();
         }},
    };
}

void PrintUndoHelp(const std::vector<OptionRow>& rows) {
    std::printf(
        "Usage: ravelmoor undo [OPTIONS] [ID]\n"
        "Puts both folders of the synchronisation ID (by default the last one; see\n"
        "ravelmoor history) back as they were before it: files it made go to the trash,\n"
        "replaced and deleted files come back from the trash, folders it made are\n"
        "removed when empty and folders it removed are made again. An object changed\n"
        "since the sync is left alone and named. Without --yes it asks first. Run again,\n"
        "an undo finishes what it left (objects already back count as done); a plain\n"
        "undo after one that was left unfinished goes on with it.\n\n%s"
        "  -h, --help              print this help\n"
        "\nExit status: 0 undone or nothing to undo; 1 some changes were not undone (with\n"
        "--dry-run: there is work to do); 2 error, refused or cancelled.\n",
        OptionsHelp(rows).c_str());
}

std::string StepLine(const SyncJournal& journal, const UndoStep& step) {
    std::string word(UndoStepWord(step.kind));
    word.resize(14, ' ');
    const std::string& root =
        step.target ? journal.header.target.shown : journal.header.source.shown;
    return word + (step.target ? "target  " : "source  ") + EscapeName(root + step.path);
}

std::string Counted(size_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

// What undo will do, in one sentence of counts.
std::string Question(const SyncJournal& journal, const std::vector<UndoStep>& steps) {
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

}  // namespace

int RunUndoCommand(ArgumentList& args) {
    UndoRequest request;
    const std::vector<OptionRow> rows = UndoOptionRows(request);
    ParsedWords parsed;
    if (const OptionOutcome outcome = ParseOptions(args.TakeRest(), rows, "undo", parsed);
        !outcome.Ok()) {
        Terminal::Message(outcome.reason);
        return kFailed;
    }
    if (parsed.help) {
        PrintUndoHelp(rows);
        return kDone;
    }
    if (parsed.positional.size() > 1) {
        Terminal::Message("undo takes one ID at most: see ravelmoor history.");
        return kFailed;
    }
    const std::vector<std::string> ids = JournalStore::Ids();
    if (parsed.positional.empty()) {
        if (ids.empty()) {
            Terminal::Message("There is no synchronisation to undo: no journal is kept in \"" +
                              JournalStore::Folder() + "\".");
            return kFailed;
        }
        request.id = JournalStore::IdToUndo();
        if (request.id != ids.back()) {
            Terminal::Message("The undo " + ids.back() + " of " + request.id +
                              " was left unfinished; this undo goes on with it.");
        }
    } else {
        request.id = parsed.positional[0];
        if (std::find(ids.begin(), ids.end(), request.id) == ids.end()) {
            Terminal::Message("There is no synchronisation " + request.id +
                              ": see ravelmoor history.");
            return kFailed;
        }
    }
    if (!request.dryRun && !request.yes && !Terminal::StdinIsTerminal()) {
        Terminal::Message(
            "There is no terminal to confirm the undo on: add --yes to carry it out without "
            "questions, or --dry-run to see what it would do.");
        return kFailed;
    }
    SyncJournal journal;
    if (const JournalOutcome read = JournalStore::Read(request.id, journal); !read.Ok()) {
        Terminal::Message(read.reason);
        return kFailed;
    }
    if (!journal.problem.empty()) {
        Terminal::Message("The journal of " + journal.id + " can not be read in full (" +
                          journal.problem + "); only the changes it names before that are undone.");
    } else if (!journal.finished) {
        Terminal::Message("The synchronisation " + journal.id +
                          " did not finish; the changes it began are undone where they were made.");
    }
    const std::vector<UndoStep> steps = PlanUndo(journal);
    if (steps.empty()) {
        std::printf("Nothing to undo: the synchronisation %s changed nothing.\n",
                    journal.id.c_str());
        return kDone;
    }
    if (request.dryRun) {
        for (const UndoStep& step : steps)
            std::printf("%s\n", StepLine(journal, step).c_str());
        std::printf("Dry run: nothing was changed.\n");
        return kPartly;
    }
    TerminalPrompter prompter(request.yes);
    if (!prompter.AskYesNo(Question(journal, steps))) {
        Terminal::Message("Nothing was undone.");
        return kFailed;
    }
    UndoStart start = StartUndo({journal, steps, request.force, request.noJournal}, prompter);
    if (start.outcome.status == StartStatus::WithoutJournal) {
        Terminal::Message(start.outcome.reason +
                          " Nothing was undone: add --no-journal to undo without a journal.");
        return kFailed;
    }
    if (!start.outcome.Ok()) {
        Terminal::Message(start.outcome.reason);
        return kFailed;
    }
    UndoExecution& run = *start.run;
    std::atomic<int32_t> cancel{0};
    const InterruptHandler interrupts(cancel);
    run.SetCancelWord(&cancel);
    run.SetReport([](size_t, UndoResult, const std::string& words) {
        if (!words.empty()) Terminal::Message(words);
    });
    run.Run();
    const UndoEnd& end = run.End();
    std::string summary =
        "Undo of " + journal.id + ": " + Counted(end.done, "change", "changes") + " taken back";
    if (end.already > 0) summary += ", " + std::to_string(end.already) + " already as before";
    if (end.left > 0)
        summary += ", " + Counted(end.left, "change", "changes") + " not (named above)";
    if (end.stopped) summary += "; stopped";
    summary += ".";
    run.Finish(summary);
    if (!end.journalProblem.empty()) Terminal::Message(end.journalProblem);
    if (!end.memoryProblem.empty()) Terminal::Message(end.memoryProblem);
    std::printf("%s\n", summary.c_str());
    if (end.stopped) return kFailed;
    return end.left > 0 || !end.memoryProblem.empty() ? kPartly : kDone;
}

}  // namespace ravelmoor
