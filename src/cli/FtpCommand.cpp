#include "cli/FtpCommand.h"

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/ClosestWord.h"
#include "cli/ProblemDetail.h"
#include "cli/StoredConnections.h"
#include "cli/Terminal.h"
#include "cli/TerminalPrompter.h"
#include "core/ftp/FtpConnectionEditor.h"
#include "core/ftp/FtpConnectionStore.h"
#include "core/ftp/ServerClockStore.h"
#include "core/settings/SettingsStore.h"

namespace ravelmoor {
namespace {

constexpr int kDone = 0;
constexpr int kFailed = 2;

void PrintFtpHelp() {
    std::printf(
        "Usage:\n"
        "  ravelmoor ftp list [-v]     the stored FTP connections, one a line\n"
        "  ravelmoor ftp add --server S [--user U] [--password P | --password-stdin]\n"
        "                    [--dir D] store a connection, named S followed by D\n"
        "  ravelmoor ftp remove NAME   forget the connection NAME\n"
        "\nA stored connection is used as a side of compare or sync by writing\n"
        "\"(ftp) NAME\". Run 'ravelmoor ftp add --help' for its options.\n");
}

void PrintAddHelp() {
    std::printf(
        "Usage: ravelmoor ftp add --server S [--user U] [--password P | --password-stdin]\n"
        "                         [--dir D]\n"
        "Stores an FTP connection, named S followed by D; a connection of that name is\n"
        "replaced only after a question.\n\n"
        "  --server S              the server's host name (needed)\n"
        "  --user U                the user name; empty for an anonymous logon\n"
        "  --password P            the password (other users can see it in the process\n"
        "                          list; prefer --password-stdin)\n"
        "  --password-stdin        read the password from the first line of standard\n"
        "                          input\n"
        "                          (with a user and neither password option, the\n"
        "                          password is asked for on the terminal)\n"
        "  --dir D                 the directory on the server\n"
        "  -h, --help              print this help\n"
        "\nExit status: 0 stored (or already stored), 2 error or declined.\n");
}

void PrintListHelp() {
    std::printf(
        "Usage: ravelmoor ftp list [-v]\n"
        "Prints the names of the stored FTP connections, one a line.\n\n"
        "  -v, --verbose           also each one's server, user and folder, and its\n"
        "                          server's clock as the last comparison found it: the\n"
        "                          offset of its listings and of MDTM from UTC, and\n"
        "                          which command keeps an uploaded file's time\n");
}

void PrintRemoveHelp() {
    std::printf(
        "Usage: ravelmoor ftp remove NAME\n"
        "Forgets the stored FTP connection NAME (the exact name, as ftp list prints it).\n");
}

bool IsHelp(const std::string& word) {
    return word == "-h" || word == "--help";
}

int List(ArgumentList& args) {
    bool verbose = false;
    while (!args.AtEnd()) {
        const std::string word = args.Take();
        if (IsHelp(word)) {
            PrintListHelp();
            return kDone;
        }
        if (word != "-v" && word != "--verbose") {
            Terminal::Message("Unknown argument " + word + "; see ravelmoor ftp list --help.");
            return kFailed;
        }
        verbose = true;
    }
    SettingsStore settingsStore;
    const FtpConnectionStore store(settingsStore);
    std::vector<std::string> names = store.ConnectionNames();
    if (!verbose) {
        PrintConnectionNames(names);
        return kDone;
    }
    SortConnectionNames(names);
    for (const std::string& name : names) {
        const FtpConnection connection =
            FtpConnectionStore::WithDefaultLogon(store.LookupConnection(name));
        std::printf(
            "%s\n  server %s, user %s, folder %s, %s data connections\n"
            "  clock: %s\n",
            name.c_str(), connection.server.c_str(), connection.user.c_str(),
            connection.directory.empty() ? "(the logon's)" : connection.directory.c_str(),
            connection.passive ? "passive" : "active",
            ServerClockStore::Read(connection.server, connection.user).Describe().c_str());
    }
    return kDone;
}

// Asks for the password on the terminal without showing what is typed.
// False when there is no terminal to ask on.
bool AskPassword(const std::string& question, std::string& password) {
    if (!Terminal::StdinIsTerminal()) return false;
    termios saved{};
    const bool quiet = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (quiet) {
        termios silent = saved;
        silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    }
    std::fputs(question.c_str(), stderr);
    std::fflush(stderr);
    const bool read = static_cast<bool>(std::getline(std::cin, password));
    if (quiet) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fputs("\n", stderr);
    return read;
}

int Add(ArgumentList& args) {
    std::string server;
    std::string user;
    std::string password;
    std::string directory;
    bool passwordGiven = false;
    bool passwordFromStdin = false;
    while (!args.AtEnd()) {
        const std::string word = args.Peek();
        if (IsHelp(word)) {
            PrintAddHelp();
            return kDone;
        }
        const std::string option = word.substr(0, word.find('='));
        if (word == "--password-stdin") {
            args.Take();
            passwordFromStdin = true;
            continue;
        }
        passwordGiven = passwordGiven || option == "--password";
        std::string* field = option == "--server"     ? &server
                             : option == "--user"     ? &user
                             : option == "--password" ? &password
                             : option == "--dir"      ? &directory
                                                      : nullptr;
        if (field == nullptr) {
            Terminal::Message("Unknown option " + option +
                              DidYouMean(option, {"--server", "--user", "--password",
                                                  "--password-stdin", "--dir", "--help"}) +
                              "; see ravelmoor ftp add --help.");
            return kFailed;
        }
        if (const OptionOutcome taken = args.TakeValue(option, *field); !taken.Ok()) {
            Terminal::Message(taken.reason);
            return kFailed;
        }
    }

    if (passwordGiven && passwordFromStdin) {
        Terminal::Message("Give the password with --password or --password-stdin, not both.");
        return kFailed;
    }
    if (passwordFromStdin) {
        password = ReadPasswordFromStdin();
    } else if (passwordGiven) {
        Terminal::Message(
            "Warning: a password given with --password shows in the process list "
            "and the shell history; --password-stdin keeps it out of both.");
    } else if (!user.empty() &&
               !AskPassword("Password for " + user + " on " + server + ": ", password)) {
        Terminal::Message(
            "No terminal to ask for the password on: give it with "
            "--password-stdin (or --password).");
        return kFailed;
    }

    SettingsStore settingsStore;
    FtpConnectionStore store(settingsStore);
    TerminalPrompter prompter(/*assumeYes=*/false);
    FtpConnectionEditor editor(store, prompter);
    editor.Open();  // the name list, to find an existing connection
    editor.SetServer(server);
    editor.SetDirectory(directory);
    editor.SetUser(user);
    editor.SetPassword(password);
    switch (editor.Save()) {
        case FtpConnectionEditor::SaveResult::Refused:
            return kFailed;
        case FtpConnectionEditor::SaveResult::Declined:
            Terminal::Message("The FTP connection " + editor.Name() + " was not changed.");
            return kFailed;
        case FtpConnectionEditor::SaveResult::Unchanged:
            std::printf("The FTP connection %s is already stored with these values.\n",
                        editor.Name().c_str());
            return kDone;
        case FtpConnectionEditor::SaveResult::Saved:
            break;
    }
    if (!SaveStore(settingsStore)) return kFailed;
    std::printf("Saved the FTP connection %s.\n", editor.Name().c_str());
    return kDone;
}

int Remove(ArgumentList& args) {
    if (!args.AtEnd() && IsHelp(args.Peek())) {
        PrintRemoveHelp();
        return kDone;
    }
    return RemoveStoredConnection<FtpConnectionStore>(args, "FTP", "ftp");
}

}  // namespace

int RunFtpCommand(ArgumentList& args) {
    const std::string verb = args.AtEnd() ? std::string() : args.Take();
    if (verb == "list") return List(args);
    if (verb == "add") return Add(args);
    if (verb == "remove") return Remove(args);
    if (verb == "-h" || verb == "--help") {
        PrintFtpHelp();
        return kDone;
    }
    Terminal::Message(verb.empty() ? "Say what to do: ravelmoor ftp list, add or remove."
                                   : "Unknown ftp command " + verb +
                                         DidYouMean(verb, {"list", "add", "remove"}) +
                                         "; see ravelmoor ftp --help.");
    return kFailed;
}

}  // namespace ravelmoor
