#include "results/FolderCheck.h"

#include <sys/stat.h>

namespace ravelmoor {
namespace {

bool IsFolder(const std::optional<std::string>& path) {
    if (!path) return true;
    struct stat facts {};
    return ::stat(path->c_str(), &facts) == 0 && S_ISDIR(facts.st_mode);
}

}  // namespace

std::string_view FolderGoneWarning(const std::optional<std::string>& sourceFolder,
                                   const std::optional<std::string>& targetFolder) {
    if (!IsFolder(sourceFolder)) return kSourceGoneWarning;
    if (!IsFolder(targetFolder)) return kTargetGoneWarning;
    return {};
}

}  // namespace ravelmoor
