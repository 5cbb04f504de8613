#pragma once

#include <QtGlobal>

#include <optional>
#include <string>
#include <string_view>

namespace ravelmoor {

// English, marked for translation in the "FolderCheck" context.
inline constexpr std::string_view kSourceGoneWarning =
    QT_TRANSLATE_NOOP("FolderCheck", "WARNING: the Source folder is no longer accessible.");
inline constexpr std::string_view kTargetGoneWarning =
    QT_TRANSLATE_NOOP("FolderCheck", "WARNING: the Target folder is no longer accessible.");

// The warning of the results window's periodic check that both folders are
// still there, the Source first; empty when both are. A side given as
// nothing (an FTP side, whose root is no local folder) is not checked.
std::string_view FolderGoneWarning(const std::optional<std::string>& sourceFolder,
                                   const std::optional<std::string>& targetFolder);

}  // namespace ravelmoor
