#include "cli/StoredConnections.h"

#include <iostream>
#include <iterator>

#include "cli/ProblemDetail.h"
#include "core/ftp/FtpConnectionEditor.h"

namespace ravelmoor {

bool SaveStore(SettingsStore& store) {
    if (store.Sync().Ok()) return true;
    Terminal::Message(
        WithSubject("Could not write", store.FileName(), WriteReason(store.FileName())));
    return false;
}

void PrintConnectionNames(std::vector<std::string> names) {
    SortConnectionNames(names);
    for (const std::string& name : names)
        std::printf("%s\n", name.c_str());
}

std::string ReadPasswordFromStdin() {
    std::string password(std::istreambuf_iterator<char>(std::cin), {});
    if (!password.empty() && password.back() == '\n') password.pop_back();
    return password;
}

}  // namespace ravelmoor
