#include "cli/HistoryCommand.h"

#include <cstdio>
#include <ctime>
#include <string>

#include "cli/JsonOutput.h"
#include "cli/Terminal.h"
#include "core/engine/NameEscape.h"
#include "core/journal/JournalStore.h"

namespace ravelmoor {
namespace {

constexpr ActionKind kKinds[] = {ActionKind::CopyNew,      ActionKind::Replace,
                                 ActionKind::Delete,       ActionKind::MakeFolder,
                                 ActionKind::RemoveFolder, ActionKind::Rename};

// The changes of `journal` that were made (or began and did not say how they ended).
size_t CountChanges(const SyncJournal& journal, ActionKind kind) {
    size_t count = 0;
    for (const JournalRecord& record : journal.records) {
        if (record.kind == kind && (record.done || !record.ended)) ++count;
    }
    return count;
}

std::string LocalTime(int64_t seconds) {
    const auto when = static_cast<time_t>(seconds);
    struct tm local {};
    ::localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::string State(const SyncJournal& journal) {
    if (!journal.problem.empty()) return "damaged: " + journal.problem;
    if (!journal.finished) return "did not finish";
    return journal.stopped ? "stopped" : std::string();
}

void PrintText(const std::vector<SyncJournal>& journals) {
    if (journals.empty()) {
        std::printf("No synchronisation is kept in %s.\n", JournalStore::Folder().c_str());
        return;
    }
    for (const SyncJournal& journal : journals) {
        const JournalHeader& header = journal.header;
        std::string line = journal.id + "  " + LocalTime(header.started) + "  " +
                           EscapeName(header.method) + "  " + EscapeName(header.source.shown) +
                           " -> " + EscapeName(header.target.shown) + "  ";
        line += std::to_string(CountChanges(journal, ActionKind::CopyNew)) + " new, " +
                std::to_string(CountChanges(journal, ActionKind::Replace)) + " replaced, " +
                std::to_string(CountChanges(journal, ActionKind::Delete)) + " deleted, " +
                std::to_string(CountChanges(journal, ActionKind::MakeFolder)) + " folders made, " +
                std::to_string(CountChanges(journal, ActionKind::RemoveFolder)) +
                " folders removed";
        // Only a two-way sync renames.
        if (const size_t renamed = CountChanges(journal, ActionKind::Rename); renamed > 0)
            line += ", " + std::to_string(renamed) + " renamed";
        const std::string state = State(journal);
        if (!state.empty()) line += " (" + state + ")";
        std::printf("%s\n", line.c_str());
    }
}

void PrintJson(const std::vector<SyncJournal>& journals) {
    std::string out = R"({"format":"ravelmoor-history","version":1,"syncs":[)";
    bool first = true;
    for (const SyncJournal& journal : journals) {
        if (!first) out.push_back(',');
        first = false;
        const JournalHeader& header = journal.header;
        out += R"({"id":)";
        AppendJsonString(out, journal.id);
        out += R"(,"started":)" + std::to_string(header.started) + R"(,"host":)";
        AppendJsonString(out, header.host);
        out += R"(,"method":)";
        AppendJsonString(out, header.method);
        out.push_back(',');
        AppendName(out, "source", header.source.shown);
        out.push_back(',');
        AppendName(out, "target", header.target.shown);
        out += R"(,"finished":)";
        out += journal.finished ? "true" : "false";
        out += R"(,"stopped":)";
        out += journal.stopped ? "true" : "false";
        if (!journal.problem.empty()) {
            out += R"(,"problem":)";
            AppendJsonString(out, journal.problem);
        }
        out += R"(,"counts":{)";
        bool firstKind = true;
        for (const ActionKind kind : kKinds) {
            if (kind == ActionKind::Rename && CountChanges(journal, kind) == 0) continue;
            if (!firstKind) out.push_back(',');
            firstKind = false;
            AppendJsonString(out, ActionKindWord(kind));
            out += ":" + std::to_string(CountChanges(journal, kind));
        }
        out += "}}";
    }
    out += "]}";
    WriteJson(out, stdout);
}

}  // namespace

int RunHistoryCommand(ArgumentList& args) {
    bool json = false;
    std::vector<OptionRow> rows = {
        {{"--format"},
         "FORMAT",
         "text (the default) or json",
         [&json](const std::string& value) {
             json = value == "json";
             if (json || value == "text") return OptionOutcome();
             return Refused("Unknown format " + value + ": history is written as text or json.");
         }},
    };
    ParsedWords parsed;
    if (const OptionOutcome outcome = ParseOptions(args.TakeRest(), rows, "history", parsed);
        !outcome.Ok()) {
        Terminal::Message(outcome.reason);
        return 2;
    }
    if (parsed.help) {
        std::printf(
            "Usage: ravelmoor history [--format text|json]\n"
            "Lists the synchronisations that can be undone, oldest first: ID, time, method,\n"
            "roots and what each changed. Journals are kept for 90 days, at most 100.\n\n%s"
            "  -h, --help              print this help\n",
            OptionsHelp(rows).c_str());
        return 0;
    }
    if (!parsed.positional.empty()) {
        Terminal::Message("history takes no folder or ID: see ravelmoor history --help.");
        return 2;
    }
    std::vector<SyncJournal> journals;
    for (const std::string& id : JournalStore::Ids()) {
        SyncJournal journal;
        if (const JournalOutcome read = JournalStore::Read(id, journal); !read.Ok()) {
            Terminal::Message(read.reason);
            continue;
        }
        journals.push_back(std::move(journal));
    }
    if (json) {
        PrintJson(journals);
    } else {
        PrintText(journals);
    }
    return 0;
}

}  // namespace ravelmoor
