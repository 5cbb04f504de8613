#pragma once

#include <string>

namespace ravelmoor {

// Whether names in the local folder `folder` are looked up without regard to
// case: a FAT or exFAT volume, or a folder with the casefold attribute (ext4
// and f2fs). False when it cannot be told (the folder is missing, or the file
// system does not say), which is the usual Linux behaviour.
bool FolderIgnoresCase(const std::string& folder);

}  // namespace ravelmoor
