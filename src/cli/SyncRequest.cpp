#include "cli/SyncRequest.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/ClosestWord.h"
#include "cli/ExitStatus.h"
#include "cli/JsonOutput.h"
#include "cli/Terminal.h"
#include "core/engine/NameEscape.h"
#include "core/settings/Settings.h"
#include "core/settings/SettingsStore.h"
#include "core/sync/PlanSync.h"

namespace ravelmoor {
namespace {

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
        {{"--plan"},
         "FILE",
         "run the actions of a plan written by --dry-run\n--format json > FILE (perhaps edited), "
         "once its\nrows are seen to be as they were; SOURCE, TARGET\nand the method come from "
         "FILE",
         [r](const std::string& value) {
             r->planPath = value;
             return OptionOutcome();
         }},
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
        "       ravelmoor sync --plan FILE [OPTIONS]\n"
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

// --plan: the file's method, folders and comparison stand in for those not
// given. Returns why the file can not be used; empty when it can.
std::string TakePlanFile(SyncRequest& request) {
    PlanFileContent& content = request.planFile;
    PlanFileResult read = ReadPlanFile(request.planPath);
    if (!read.Ok()) return read.reason;
    content = std::move(read.value);
    SyncMethod method = SyncMethod::None;
    const bool known = ParseSyncMethod(content.method, method).Ok();
    if (!known || method == SyncMethod::TwoWay) {
        return "The plan file " + EscapeName(request.planPath) +
               " can not be used: field \"method\": expected one of align, augment, refresh, "
               "update, update-prune or force.";
    }
    if (request.method != SyncMethod::None && request.method != method) {
        return "The plan file " + EscapeName(request.planPath) + " was made for --method " +
               content.method + ", not " + std::string(SyncMethodWord(request.method)) + ".";
    }
    request.method = method;
    if (request.compare.positional.empty() && !request.compare.loadedSettings) {
        request.compare.positional = {content.sourceFolder, content.targetFolder};
    }
    for (const ComparisonMethod by :
         {ComparisonMethod::SizeAndTimestamp, ComparisonMethod::Crc, ComparisonMethod::Both}) {
        if (content.compareMethod == ComparisonMethodWord(by)) request.compare.job.SetMethod(by);
    }
    if (content.subFolders) request.compare.job.includeSubFolders = true;
    return {};
}

}  // namespace

std::string_view SyncMethodWord(SyncMethod method) {
    for (const auto& [word, candidate, what] : kMethodWords) {
        if (candidate == method) return word;
    }
    return "none";
}

// A side on a server (FTP or SFTP) has no trash: what is deleted there is
// kept in its versions folder, or with --delete-permanently gone for good.
VersionKeeping SyncRequest::Keeping() const {
    VersionKeeping keeping;
    keeping.keep = !deletePermanently;
    keeping.days = versionDays;
    return keeping;
}

KeptIn SyncRequest::SideKeeps(const Comparison& comparison, ListSide side) const {
    return KeptInOf(comparison, side, Keeping());
}

std::optional<int> ReadSyncRequest(ArgumentList& args, SyncRequest& request) {
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
    if (!request.planPath.empty()) {
        if (const std::string refused = TakePlanFile(request); !refused.empty()) {
            Terminal::Message(refused);
            return kFailed;
        }
    }
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
    return std::nullopt;
}

}  // namespace ravelmoor
