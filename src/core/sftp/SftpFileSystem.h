#pragma once

#include <memory>
#include <string>

#include "core/sftp/SftpFolderWriter.h"

namespace ravelmoor {

class Prompter;

// A folder tree on an SSH server, reached over one logged-on SFTP session.
// Paths are the engine's texts: absolute server paths, or paths below the
// connection's directory. Names are bytes, exactly as the server lists them;
// links are never followed: a listing and ReadFacts give a link's own facts,
// and its content is the link text. A reader from OpenForReading must be
// gone before the next call, and before this object.
//
// This is the reading side; the writes, and the one report of a failed
// connection through the prompter, are SftpFolderWriter's.
class SftpFileSystem : public SftpFolderWriter {
  public:
    SftpFileSystem(std::unique_ptr<SftpSession> session, Prompter& prompter);
    ~SftpFileSystem() override;

    ListStatus ListFolder(const std::string& folder, ListSink& sink) override;
    std::string WhyNotListable(const std::string& folder) override;
    bool ReadFacts(const std::string& path, EntryFacts& facts) override;
    std::unique_ptr<FileReader> OpenForReading(const std::string& path,
                                               uint32_t attributes) override;
    void Interrupt() override;

  private:
    std::string whyNotListable_;
};

}  // namespace ravelmoor
