#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CompareOptions.h"
#include "cli/Terminal.h"
#include "core/settings/SettingsStore.h"

namespace ravelmoor {

// Writes the settings file after a change of the stored connections; false,
// with the file and the reason on standard error, when it can not be written.
bool SaveStore(SettingsStore& store);

// "ravelmoor ftp|sftp list": the names, one a line, in the dialog's order.
void PrintConnectionNames(std::vector<std::string> names);

// A password as standard input gives it, without its last line end.
std::string ReadPasswordFromStdin();

// "ravelmoor ftp|sftp remove NAME" once its --help is handled: forgets the
// connection of exactly that name (unlike the dialog) and saves. `kind` is
// the word shown ("FTP"), `command` the subcommand ("ftp"). Returns the exit
// status: 0 when removed, 2 otherwise.
template <class Store>
int RemoveStoredConnection(ArgumentList& args, const std::string& kind,
                           const std::string& command) {
    if (!args.AtEnd() && args.Peek() == "--") args.Take();
    if (args.AtEnd()) {
        Terminal::Message("Name the " + kind + " connection to remove (see ravelmoor " + command +
                          " list).");
        return 2;
    }
    const std::string name = args.Take();
    if (!args.AtEnd()) {
        Terminal::Message("Unknown argument " + args.Peek() + "; see ravelmoor " + command +
                          " remove --help.");
        return 2;
    }
    SettingsStore settingsStore;
    Store store(settingsStore);
    const std::vector<std::string> names = store.ConnectionNames();
    if (std::find(names.begin(), names.end(), name) == names.end()) {
        Terminal::Message("There is no " + kind + " connection named " + name + ".");
        return 2;
    }
    store.DeleteConnection(name);
    if (!SaveStore(settingsStore)) return 2;
    std::printf("Removed the %s connection %s.\n", kind.c_str(), name.c_str());
    return 0;
}

}  // namespace ravelmoor
