#include "cli/CompareCommand.h"

#include <cstdio>
#include <string>

#include "cli/ComparisonSession.h"
#include "cli/ResultPrinter.h"
#include "cli/Terminal.h"
#include "cli/TerminalPrompter.h"
#include "engine/FolderComparer.h"

namespace ravelmoor {
namespace {

constexpr int kIdentical = 0;
constexpr int kDifferent = 1;
constexpr int kFailed = 2;

void PrintCompareHelp() {
    std::printf(
        "Usage: ravelmoor compare [OPTIONS] SOURCE TARGET\n"
        "Compares two folder trees and prints the rows that differ.\n\n%s"
        "\nExit status: 0 identical, 1 differences, 2 error or cancelled.\n",
        CompareOptionsHelp());
}

}  // namespace

int RunCompareCommand(ArgumentList& args) {
    CompareRequest request;
    std::string error;
    while (!args.AtEnd()) {
        const std::string word = args.Peek();
        if (word == "-h" || word == "--help") {
            PrintCompareHelp();
            return kIdentical;
        }
        const ParseOutcome outcome = ParseCompareOption(args, request, error);
        if (outcome == ParseOutcome::Error) {
            Terminal::Message(error);
            return kFailed;
        }
        if (outcome == ParseOutcome::NotMine &&
            (word == "--method" || word.starts_with("--method="))) {
            std::string value;
            args.TakeValue("--method", value, error);
            Terminal::Message("Unknown method " + value +
                              ": a comparison method is size-time, crc or both.");
            return kFailed;
        }
        if (outcome == ParseOutcome::NotMine) {
            Terminal::Message("Unknown option " + word + " (see ravelmoor compare --help).");
            return kFailed;
        }
    }
    if (!TakeFolders(request, error)) {
        Terminal::Message(error);
        return kFailed;
    }
    // An unreadable file is reported and its pair excluded; the run goes on.
    TerminalPrompter prompter(/*assumeYes=*/true);
    FolderComparer comparer(prompter);
    if (!CompareFromRequest(request, comparer)) return kFailed;
    PrintResults(comparer, request.format, request.showAll, stdout);
    std::fflush(stdout);
    const std::string unlistable = comparer.UnlistableFoldersWarning();
    if (!unlistable.empty()) Terminal::Message(unlistable);
    return comparer.AllIdentical() ? kIdentical : kDifferent;
}

}  // namespace ravelmoor
