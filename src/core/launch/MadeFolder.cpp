#include "core/launch/MadeFolder.h"

#include <unistd.h>

#include <filesystem>

namespace ravelmoor {

MadeFolder::~MadeFolder() {
    for (const std::string& folder : made_) {
        if (::rmdir(folder.c_str()) != 0) break;
    }
}

LaunchOutcome MadeFolder::Make(const std::string& path) {
    std::vector<std::string> missing;
    std::filesystem::path level = std::filesystem::absolute(path).lexically_normal();
    if (!level.has_filename()) level = level.parent_path();  // "a/b/" is "a/b"
    for (; level.has_relative_path() && IsMissingPath(level.string());
         level = level.parent_path()) {
        missing.push_back(level.string());
    }
    LaunchOutcome made = MakeMissingFolder(path);
    if (made.Ok()) made_ = std::move(missing);
    return made;
}

}  // namespace ravelmoor
