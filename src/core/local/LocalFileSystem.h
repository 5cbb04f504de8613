#pragma once

#include "core/local/LocalFolderWriter.h"

namespace ravelmoor {

// The local folders of this machine, through POSIX calls. Symbolic links are
// never followed below the folder that is listed, nor below a root that is
// written to (the write side is LocalFolderWriter's).
class LocalFileSystem : public LocalFolderWriter {
  public:
    ListOutcome ListFolder(const std::string& folder, ListSink& sink) override;
    bool ListsConcurrently() const override { return true; }
    bool ReadsLocalFiles() const override { return true; }
    bool ReadFacts(const std::string& path, EntryFacts& facts) override;
    std::unique_ptr<FileReader> OpenForReading(const std::string& path,
                                               uint32_t attributes) override;
    bool IgnoresCase(const std::string& folder) override;
    bool ReadFactsBelow(const std::string& root, std::string_view relative,
                        EntryFacts& facts) override;
    std::unique_ptr<FileReader> OpenBelow(const std::string& root, std::string_view relative,
                                          uint32_t attributes) override;
};

}  // namespace ravelmoor
