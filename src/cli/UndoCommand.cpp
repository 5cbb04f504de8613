#include "cli/UndoCommand.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/ExitStatus.h"
#include "cli/InterruptHandler.h"
#include "cli/Terminal.h"
#include "cli/TerminalPrompter.h"
#include "cli/UndoRequest.h"
#include "cli/UndoWording.h"
#include "core/journal/JournalStore.h"
#include "core/launch/StartUndo.h"

namespace ravelmoor {
namespace {

// A journal that ends early, or of a sync that did not finish, is undone as
// far as it goes: said first.
void SayWhatTheJournalLacks(const SyncJournal& journal) {
    if (!journal.problem.empty()) {
        Terminal::Message("The journal of " + journal.id + " can not be read in full (" +
                          journal.problem + "); only the changes it names before that are undone.");
    } else if (!journal.finished) {
        Terminal::Message("The synchronisation " + journal.id +
                          " did not finish; the changes it began are undone where they were made.");
    }
}

int CarryOutUndo(const UndoRequest& request, const SyncJournal& journal,
                 const std::vector<UndoStep>& steps, TerminalPrompter& prompter) {
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
    const std::string summary = UndoSummary(journal.id, end);
    run.Finish(summary);
    if (!end.journalProblem.empty()) Terminal::Message(end.journalProblem);
    if (!end.memoryProblem.empty()) Terminal::Message(end.memoryProblem);
    std::printf("%s\n", summary.c_str());
    if (end.stopped) return kFailed;
    return end.left > 0 || !end.memoryProblem.empty() ? kPartly : kDone;
}

}  // namespace

int RunUndoCommand(ArgumentList& args) {
    UndoRequest request;
    if (const std::optional<int> early = ReadUndoRequest(args, request)) return *early;
    SyncJournal journal;
    if (const JournalOutcome read = JournalStore::Read(request.id, journal); !read.Ok()) {
        Terminal::Message(read.reason);
        return kFailed;
    }
    SayWhatTheJournalLacks(journal);
    const std::vector<UndoStep> steps = PlanUndo(journal);
    if (steps.empty()) {
        std::printf("Nothing to undo: the synchronisation %s changed nothing.\n",
                    journal.id.c_str());
        return kDone;
    }
    if (request.dryRun) {
        for (const UndoStep& step : steps)
            std::printf("%s\n", UndoStepLine(journal, step).c_str());
        std::printf("Dry run: nothing was changed.\n");
        return kPartly;
    }
    TerminalPrompter prompter(request.yes);
    if (!prompter.AskYesNo(UndoQuestion(journal, steps))) {
        Terminal::Message("Nothing was undone.");
        return kFailed;
    }
    return CarryOutUndo(request, journal, steps, prompter);
}

}  // namespace ravelmoor
