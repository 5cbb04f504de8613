#pragma once

#include <QCoreApplication>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "core/results/VisualiseDifferences.h"

class QWidget;

namespace ravelmoor {

class FileSystem;
struct ResultsContext;

// Starts the file-comparison program for "Visualise Differences" and opens
// General Settings for it. An object on a server is first fetched into a
// temporary folder of its own, which is removed when the program that got it
// ends (or here, when it never got it). The fetch runs on a worker behind a
// progress dialog whose Cancel stops it; the window's thread never waits on
// the server.
class DesktopViewerHost : public ViewerHost {
    Q_DECLARE_TR_FUNCTIONS(ravelmoor::DesktopViewerHost)

  public:
    // The sides on a server are those of the context's comparison, connected
    // again on the worker where the comparison closed them.
    DesktopViewerHost(const ResultsContext& context, QWidget* parent);
    // `sourceRemote` and `targetRemote` are the file systems of the sides
    // that are on a server; null for a local side.
    DesktopViewerHost(const ResultsContext& context, FileSystem* sourceRemote,
                      FileSystem* targetRemote, QWidget* parent);
    ~DesktopViewerHost() override;
    DesktopViewerHost(const DesktopViewerHost&) = delete;
    DesktopViewerHost& operator=(const DesktopViewerHost&) = delete;

    FetchOutcome MakeLocal(PathPair& pair) override;
    bool Start(const ViewerCommand& command) override;
    bool EditSettings() override;

  private:
    // Fetches `path` of `remote` into a new temporary folder, `path` then
    // being the local one. On the worker.
    FetchOutcome Fetch(FileSystem& remote, std::string& path, const std::atomic<int32_t>& cancel);
    // Both objects of `pair`, the comparison's sides opened first. On the worker.
    FetchOutcome FetchPair(PathPair& pair, const std::atomic<int32_t>& cancel);

    const ResultsContext& context_;
    const bool comparisonSides_;
    FileSystem* sourceRemote_;
    FileSystem* targetRemote_;
    QWidget* parent_;
    // Temporary folders made for the pair in hand, not yet handed to a program.
    std::vector<std::string> pendingFolders_;
};

}  // namespace ravelmoor
