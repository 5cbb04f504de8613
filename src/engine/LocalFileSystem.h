#pragma once

#include "engine/FileSystem.h"

namespace ravelmoor {

// The local folders of this machine, through POSIX calls. Symbolic links are
// never followed below the folder that is listed.
class LocalFileSystem : public FileSystem {
  public:
    ListStatus ListFolder(const std::string& folder, ListSink& sink) override;
    bool ReadFacts(const std::string& path, EntryFacts& facts) override;
    std::unique_ptr<FileReader> OpenForReading(const std::string& path,
                                               uint32_t attributes) override;
};

}  // namespace ravelmoor
