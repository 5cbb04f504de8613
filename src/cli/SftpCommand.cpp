#include "cli/SftpCommand.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/ClosestWord.h"
#include "cli/ProblemDetail.h"
#include "cli/StoredConnections.h"
#include "cli/Terminal.h"
#include "core/remote/ConnectionNames.h"
#include "core/settings/SettingsStore.h"
#include "core/sftp/SftpConnectionStore.h"

namespace ravelmoor {
namespace {

constexpr int kDone = 0;
constexpr int kFailed = 2;

void PrintHelp() {
    std::printf(
        "Usage:\n"
        "  ravelmoor sftp list          the stored SFTP connections, one a line\n"
        "  ravelmoor sftp add --host H [OPTIONS]   store a connection\n"
        "  ravelmoor sftp remove NAME   forget the connection NAME\n"
        "\nRun 'ravelmoor sftp add --help' for its options.\n");
}

void PrintAddHelp() {
    std::printf(
        "Usage: ravelmoor sftp add --host H [--port P] [--user U] [--dir D] [--name N]\n"
        "                          [--key FILE] [--password-stdin] [--agent-path P]\n"
        "                          [--replace]\n"
        "       ravelmoor sftp add --server H[:P] [--identity FILE] ...\n"
        "Stores an SFTP connection (a folder on an SSH server), named N, or H\n"
        "followed by D. A host named in ~/.ssh/config takes its HostName, User, Port,\n"
        "IdentityFile, ProxyJump and UserKnownHostsFile from there; --user, --port and\n"
        "--key go over them.\n\n"
        "  --host H          the server's host name, or a host of ~/.ssh/config (needed)\n"
        "  --port P          the SSH port (22, or the port ~/.ssh/config gives H)\n"
        "  --server H[:P]    the host and port in one (an IPv6 address in brackets)\n"
        "  --user U          the user name; empty: ~/.ssh/config's, or your own\n"
        "  --dir D           the folder on the server\n"
        "  --name N          the connection's name\n"
        "  --key FILE        log on with this private key file (its passphrase, if\n"
        "                    any, from standard input with --password-stdin);\n"
        "                    --identity FILE is the same\n"
        "  --password-stdin  without --key: log on with the password read from the\n"
        "                    first line of standard input\n"
        "                    (with neither, the SSH agent's keys, then the key\n"
        "                    files ~/.ssh/config names, then ~/.ssh/id_*)\n"
        "  --agent-path P    list and sum the folder with ravelmoor on the server,\n"
        "                    found at P (\"ravelmoor\": on the PATH there)\n"
        "  --replace         replace a connection of that name\n"
        "  -h, --help        print this help\n"
        "\nExit status: 0 stored, 2 error.\n");
}

bool IsHelp(const std::string& word) {
    return word == "-h" || word == "--help";
}

int List(ArgumentList& args) {
    if (!args.AtEnd() && IsHelp(args.Peek())) {
        std::printf(
            "Usage: ravelmoor sftp list\nPrints the stored SFTP connections, one a line.\n");
        return kDone;
    }
    if (!args.AtEnd()) {
        Terminal::Message("Unknown argument " + args.Peek() + "; see ravelmoor sftp --help.");
        return kFailed;
    }
    SettingsStore settingsStore;
    PrintConnectionNames(SftpConnectionStore(settingsStore).ConnectionNames());
    return kDone;
}

// Splits "HOST[:PORT]" ("[::1]:2222" for an IPv6 address); the port stays as
// it was when the text names none.
void SplitServer(const std::string& server, std::string& host, std::string& port) {
    const size_t close = server.starts_with('[') ? server.find(']') : std::string::npos;
    if (close != std::string::npos) {
        host = server.substr(1, close - 1);
        if (server.size() > close + 1 && server[close + 1] == ':') port = server.substr(close + 2);
        return;
    }
    const size_t colon = server.find(':');
    // More than one colon: a bare IPv6 address, without a port.
    if (colon == std::string::npos || server.find(':', colon + 1) != std::string::npos) {
        host = server;
        return;
    }
    host = server.substr(0, colon);
    port = server.substr(colon + 1);
}

int Add(ArgumentList& args) {
    SftpConnection connection;
    std::string name;
    std::string server;
    std::string port = "22";
    bool secretFromStdin = false;
    bool replace = false;
    while (!args.AtEnd()) {
        const std::string word = args.Peek();
        if (IsHelp(word)) {
            PrintAddHelp();
            return kDone;
        }
        if (word == "--password-stdin" || word == "--replace") {
            args.Take();
            (word == "--replace" ? replace : secretFromStdin) = true;
            continue;
        }
        const std::string option = word.substr(0, word.find('='));
        std::string* field = option == "--host"                            ? &connection.host
                             : option == "--port"                          ? &port
                             : option == "--user"                          ? &connection.user
                             : option == "--dir"                           ? &connection.directory
                             : option == "--name"                          ? &name
                             : option == "--key" || option == "--identity" ? &connection.keyFile
                             : option == "--server"                        ? &server
                             : option == "--agent-path"                    ? &connection.agentPath
                                                                           : nullptr;
        if (field == nullptr) {
            Terminal::Message(
                "Unknown option " + option +
                DidYouMean(option, {"--host", "--server", "--port", "--user", "--dir", "--name",
                                    "--key", "--identity", "--password-stdin", "--agent-path",
                                    "--replace", "--help"}) +
                "; see ravelmoor sftp add --help.");
            return kFailed;
        }
        if (const OptionOutcome taken = args.TakeValue(option, *field); !taken.Ok()) {
            Terminal::Message(taken.reason);
            return kFailed;
        }
    }
    if (!server.empty()) SplitServer(server, connection.host, port);
    const auto [end, parsed] =
        std::from_chars(port.data(), port.data() + port.size(), connection.port);
    if (parsed != std::errc() || end != port.data() + port.size()) {
        Terminal::Message("The port " + port + " is not a number.");
        return kFailed;
    }
    connection.logon = !connection.keyFile.empty() ? SftpLogon::KeyFile
                       : secretFromStdin           ? SftpLogon::Password
                                                   : SftpLogon::Agent;
    if (secretFromStdin) connection.secret = ReadPasswordFromStdin();
    if (name.empty()) name = ConnectionNameFor(connection.host, connection.directory);

    SettingsStore settingsStore;
    SftpConnectionStore store(settingsStore);
    const std::vector<std::string> names = store.ConnectionNames();
    if (!replace && std::find(names.begin(), names.end(), name) != names.end()) {
        Terminal::Message("An SFTP connection named " + name +
                          " is stored already; add --replace to replace it.");
        return kFailed;
    }
    const SftpConnectionStore::WriteResult written = store.WriteConnection(name, connection);
    if (!written.stored) {
        Terminal::Message(written.text);
        return kFailed;
    }
    if (!written.text.empty()) Terminal::Message(written.text);
    if (!SaveStore(settingsStore)) return kFailed;
    std::printf("Saved the SFTP connection %s.\n", name.c_str());
    return kDone;
}

int Remove(ArgumentList& args) {
    if (!args.AtEnd() && IsHelp(args.Peek())) {
        std::printf(
            "Usage: ravelmoor sftp remove NAME\nForgets the stored SFTP connection NAME.\n");
        return kDone;
    }
    return RemoveStoredConnection<SftpConnectionStore>(args, "SFTP", "sftp");
}

}  // namespace

int RunSftpCommand(ArgumentList& args) {
    const std::string verb = args.AtEnd() ? std::string() : args.Take();
    if (verb == "list") return List(args);
    if (verb == "add") return Add(args);
    if (verb == "remove") return Remove(args);
    if (IsHelp(verb)) {
        PrintHelp();
        return kDone;
    }
    Terminal::Message(verb.empty() ? "Say what to do: ravelmoor sftp list, add or remove."
                                   : "Unknown sftp command " + verb +
                                         DidYouMean(verb, {"list", "add", "remove"}) +
                                         "; see ravelmoor sftp --help.");
    return kFailed;
}

}  // namespace ravelmoor
