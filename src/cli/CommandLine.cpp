#include "cli/CommandLine.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/AgentCommand.h"
#include "cli/ClosestWord.h"
#include "cli/CompareCommand.h"
#include "cli/FtpCommand.h"
#include "cli/HistoryCommand.h"
#include "cli/ProblemDetail.h"
#include "cli/SettingsFileCommand.h"
#include "cli/SftpCommand.h"
#include "cli/SyncCommand.h"
#include "cli/Terminal.h"
#include "cli/UndoCommand.h"
#include "core/local/BelowRoot.h"
#include "core/settings/SettingsFile.h"

namespace ravelmoor {
namespace {

void PrintUsage(FILE* out) {
    std::fprintf(
        out,
        "Usage:\n"
        "  ravelmoor compare [OPTIONS] SOURCE TARGET   compare and print the rows\n"
        "  ravelmoor sync --method M [OPTIONS] SOURCE TARGET   plan, confirm, carry out\n"
        "  ravelmoor history [--format json]           the synchronisations kept\n"
        "  ravelmoor undo [OPTIONS] [ID]               undo a synchronisation (the last)\n"
        "  ravelmoor ftp list | add | remove           the stored FTP connections\n"
        "  ravelmoor sftp list | add | remove          the stored SFTP connections\n"
        "  ravelmoor SETTINGS.zvs                      compare as a settings file says\n"
        "  ravelmoor --help | --version\n\n"
        "Run 'ravelmoor COMMAND --help' for the options of a command\n"
        "(compare, sync, history, undo, ftp, ftp add), and 'man ravelmoor' for the whole story.\n");
}

int RunCommand(int argc, char** argv) {
    if (argc < 2) {
        // Reached only where no window can be shown.
        Terminal::Message("No command given, and no display for the desktop program.");
        PrintUsage(stderr);
        return 2;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        PrintUsage(stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("ravelmoor %s\n", RAVELMOOR_VERSION);
        return 0;
    }
    ArgumentList args(argc, argv, 2);
    if (command == "compare") return RunCompareCommand(args);
    if (command == "sync") return RunSyncCommand(args);
    if (command == "history") return RunHistoryCommand(args);
    if (command == "undo") return RunUndoCommand(args);
    if (command == "ftp") return RunFtpCommand(args);
    if (command == "sftp") return RunSftpCommand(args);
    if (command == "agent") return RunAgentCommand(args);
    // Reached with a settings file when there is no display or when options follow it.
    if (IsSettingsFileArgument(command)) return RunSettingsFileWithoutDesktop(command, args);
    const bool option = command.size() > 1 && command[0] == '-';
    Terminal::Message(
        std::string(option ? "Unknown option " : "Unknown command ") + command +
        DidYouMean(command, option ? std::vector<std::string>{"--help", "--version"}
                                   : std::vector<std::string>{"compare", "sync", "history", "undo",
                                                              "ftp", "sftp"}) +
        "; see ravelmoor --help.");
    return 2;
}

// Output that did not reach standard output (a full disk, a closed file)
// makes the run an error, whatever the command made of it.
int CheckOutput(int status) {
    if (Terminal::FlushOutput()) return status;
    const int error = Terminal::OutputError();
    Terminal::Message(WithSubject("Can not write the output", "standard output",
                                  ErrorText(error != 0 ? error : EIO)));
    return 2;
}

}  // namespace

int RunCommandLine(int argc, char** argv) {
    return CheckOutput(RunCommand(argc, argv));
}

}  // namespace ravelmoor
