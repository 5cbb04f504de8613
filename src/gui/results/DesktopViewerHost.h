#pragma once

#include <string>
#include <vector>

#include "core/results/VisualiseDifferences.h"

class QWidget;

namespace ravelmoor {

class FileSystem;
struct ResultsContext;

// Starts the file-comparison program for "Visualise Differences" and opens
// General Settings for it. An object on an FTP side is first fetched into a
// temporary folder of its own, which is removed when the program that got it
// ends (or here, when it never got it).
class DesktopViewerHost : public ViewerHost {
  public:
    // `sourceRemote` and `targetRemote` are the file systems of the sides
    // that are on an FTP server; null for a local side.
    DesktopViewerHost(const ResultsContext& context, FileSystem* sourceRemote,
                      FileSystem* targetRemote, QWidget* parent);
    ~DesktopViewerHost() override;
    DesktopViewerHost(const DesktopViewerHost&) = delete;
    DesktopViewerHost& operator=(const DesktopViewerHost&) = delete;

    std::string MakeLocal(PathPair& pair) override;
    bool Start(const ViewerCommand& command) override;
    bool EditSettings() override;

  private:
    // Fetches `path` of `remote` into a new temporary folder; the local path,
    // or the message that says why not.
    bool Fetch(FileSystem& remote, std::string& path, std::string& problem);

    const ResultsContext& context_;
    FileSystem* sourceRemote_;
    FileSystem* targetRemote_;
    QWidget* parent_;
    // Temporary folders made for the pair in hand, not yet handed to a program.
    std::vector<std::string> pendingFolders_;
};

}  // namespace ravelmoor
