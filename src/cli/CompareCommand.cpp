#include "cli/CompareCommand.h"

#include <cstdio>
#include <string>

#include "cli/ComparisonSession.h"
#include "cli/ResultPrinter.h"
#include "cli/Terminal.h"
#include "cli/TerminalPrompter.h"
#include "core/engine/Comparison.h"
#include "core/engine/IoRing.h"
#include "core/local/LocalFileSystem.h"

namespace ravelmoor {
namespace {

constexpr int kIdentical = 0;
constexpr int kDifferent = 1;
constexpr int kFailed = 2;
constexpr int kIncomplete = 3;  // some objects could not be read: not known to be identical

void PrintCompareHelp(const std::vector<OptionRow>& rows) {
    std::printf(
        "Usage: ravelmoor compare [OPTIONS] SOURCE TARGET\n"
        "Compares two folder trees and prints the rows that differ.\n\n%s"
        "  -h, --help              print this help\n%s"
        "\nExit status: 0 identical, 1 differences, 2 error or cancelled, 3 some folders\n"
        "or files could not be read (named on standard error), so the trees are not\n"
        "known to be identical.\n",
        OptionsHelp(rows).c_str(), RemoteSideHelp());
}

}  // namespace

int RunCompareCommand(ArgumentList& args) {
    CompareRequest request;
    std::vector<OptionRow> rows = CompareOptionRows(request, /*methodIsComparison=*/true);
    rows.push_back({{"-v", "--verbose"},
                    {},
                    "say how files are read (batched system calls, or\none call at a time and why) "
                    "and how many exact\ntimes an FTP server was asked (on standard error)",
                    [&request](const std::string&) {
                        request.verbose = true;
                        return OptionOutcome();
                    }});
    ParsedWords parsed;
    if (const OptionOutcome outcome = ParseOptions(args.TakeRest(), rows, "compare", parsed);
        !outcome.Ok()) {
        Terminal::Message(outcome.reason);
        return kFailed;
    }
    if (parsed.help) {
        PrintCompareHelp(rows);
        return kIdentical;
    }
    request.positional = std::move(parsed.positional);
    Terminal::SetQuiet(request.quiet);
    if (const OptionOutcome outcome = TakeFolders(request); !outcome.Ok()) {
        Terminal::Message(outcome.reason);
        return kFailed;
    }
    // An unreadable file is reported and its pair excluded; the run goes on.
    TerminalPrompter prompter(/*assumeYes=*/true);
    if (request.verbose) Terminal::Info(IoRing::Describe());
    SideProvider sides(prompter, std::make_shared<LocalFileSystem>());
    Comparison comparison(sides);
    if (!CompareFromRequest(request, comparison, prompter)) return kFailed;
    if (!request.quiet) PrintResults(comparison, request.format, request.showAll, stdout);
    Terminal::FlushOutput();
    for (const std::string& unread :
         {comparison.UnlistableFoldersWarning(), comparison.UnreadableFilesWarning()}) {
        if (!unread.empty()) Terminal::Message(unread);
    }
    if (!comparison.Complete()) return kIncomplete;
    return comparison.AllIdentical() ? kIdentical : kDifferent;
}

}  // namespace ravelmoor
