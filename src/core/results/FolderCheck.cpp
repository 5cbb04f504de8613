#include "core/results/FolderCheck.h"

#include "core/folders/FolderText.h"

namespace ravelmoor {
namespace {

bool IsFolderOrNotLocal(const std::optional<std::string>& path) {
    return !path || IsExistingFolder(*path);
}

}  // namespace

std::string_view FolderGoneWarning(const std::optional<std::string>& sourceFolder,
                                   const std::optional<std::string>& targetFolder) {
    if (!IsFolderOrNotLocal(sourceFolder)) return kSourceGoneWarning;
    if (!IsFolderOrNotLocal(targetFolder)) return kTargetGoneWarning;
    return {};
}

}  // namespace ravelmoor
