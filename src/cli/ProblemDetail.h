#pragma once

#include <string>
#include <string_view>

namespace ravelmoor {

// The command line says what a message is about: `message` (a trailing '.'
// dropped) + ": " + `subject`, then the system's `reason` in brackets when
// there is one. The desktop program shows the bare message.
std::string WithSubject(std::string_view message, std::string_view subject,
                        std::string_view reason = {});

// The system's reason why `path` cannot be used as a folder ("No such file or
// directory", "Not a directory", "Permission denied"); empty when it can.
std::string FolderReason(const std::string& path);
// Why `path` cannot be opened for reading; empty when it can.
std::string ReadReason(const std::string& path);
// Why a file cannot be created or replaced at `path`; empty when no reason
// is found.
std::string WriteReason(const std::string& path);

}  // namespace ravelmoor
