#include "cli/UndoRequest.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "cli/ExitStatus.h"
#include "cli/Terminal.h"
#include "core/journal/JournalStore.h"

namespace ravelmoor {
namespace {

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

}  // namespace

std::optional<int> ReadUndoRequest(ArgumentList& args, UndoRequest& request) {
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
    return std::nullopt;
}

}  // namespace ravelmoor
