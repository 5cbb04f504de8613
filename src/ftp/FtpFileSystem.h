#pragma once

#include <memory>
#include <string>

#include "engine/FileSystem.h"
#include "ftp/FtpClient.h"

namespace ravelmoor {

class Prompter;

// A folder tree on an FTP server, reached over one logged-on connection.
// Paths are the engine's texts: absolute server paths, or paths relative to
// the folder the logon started in. Names are used exactly as listed (servers
// on Linux keep their case). A reader from OpenForReading must be gone before
// the next call, and before this object.
class FtpFileSystem : public FileSystem {
  public:
    static constexpr const char* kConnectionError = "Error on FTP connection";

    FtpFileSystem(std::unique_ptr<FtpClient> client, Prompter& prompter);
    ~FtpFileSystem() override;

    ListStatus ListFolder(const std::string& folder, ListSink& sink) override;
    bool ReadFacts(const std::string& path, EntryFacts& facts) override;
    std::unique_ptr<FileReader> OpenForReading(const std::string& path,
                                               uint32_t attributes) override;
    void Interrupt() override;

  private:
    std::string ServerPath(const std::string& path) const;
    bool FindInParent(const std::string& serverPath, EntryFacts& facts);
    // Says what went wrong, unless the call was cancelled.
    void Report(const char* fixedText);

    std::unique_ptr<FtpClient> client_;
    Prompter& prompter_;
    std::string listing_;  // kept between calls: one buffer for every listing
};

}  // namespace ravelmoor
