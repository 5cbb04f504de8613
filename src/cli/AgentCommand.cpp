#include "cli/AgentCommand.h"

#include <unistd.h>

#include <csignal>
#include <string>

#include "cli/Terminal.h"
#include "core/sftp/AgentServer.h"

namespace ravelmoor {

int RunAgentCommand(ArgumentList& args) {
    std::string folder;
    while (!args.AtEnd()) {
        const std::string word = args.Peek();
        if (word == "--dir" || word.rfind("--dir=", 0) == 0) {
            if (const OptionOutcome taken = args.TakeValue("--dir", folder); !taken.Ok()) {
                Terminal::Message(taken.reason);
                return 2;
            }
            continue;
        }
        args.Take();
        Terminal::Message("Unknown option " + word + " of agent; it takes --dir D.");
        return 2;
    }
    if (folder.empty()) {
        Terminal::Message("The agent needs the folder it serves: --dir D.");
        return 2;
    }
    if (::isatty(STDOUT_FILENO) != 0) {
        Terminal::Message(
            "The agent speaks a binary protocol to another ravelmoor over SSH; it "
            "is not for a terminal.");
        return 2;
    }
    // A client that goes away ends the agent through a failed write, not a signal.
    std::signal(SIGPIPE, SIG_IGN);
    AgentServer server(folder, STDIN_FILENO, STDOUT_FILENO);
    return server.Serve();
}

}  // namespace ravelmoor
