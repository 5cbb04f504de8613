#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/Outcome.h"

namespace ravelmoor {

class Prompter;
struct Settings;
struct ViewerCommand;

inline constexpr std::string_view kLocateViewerMessage = "Please locate File Comparison Program.";
inline constexpr std::string_view kMoreThanOnePairQuestion =
    "You have chosen to visualise differences between more then 1 couple of files: do you wish "
    "to continue?";
inline constexpr std::string_view kUnableToRunPrefix = "Unable to run: ";

// The full paths of one row's two objects.
struct PathPair {
    std::string source;
    std::string target;
};

// How the objects of a pair were made files a program here can open. Failed
// carries the message that says which object and why; Stopped (the user
// cancelled the fetch) has nothing to say and ends the visualising.
enum class FetchStatus : uint8_t { Done, Failed, Stopped };
using FetchOutcome = Outcome<FetchStatus>;

// What "Visualise Differences" needs of the desktop.
class ViewerHost {
  public:
    virtual ~ViewerHost() = default;
    // Makes both objects of `pair` files that a program on this machine can
    // open (a file on an FTP server is fetched to a temporary file, which
    // goes when the program that gets it ends).
    virtual FetchOutcome MakeLocal(PathPair& pair) = 0;
    // Starts the program without waiting for it; false when it did not start.
    virtual bool Start(const ViewerCommand& command) = 0;
    // Opens the General Settings dialog; true when the user left it with OK.
    virtual bool EditSettings() = 0;
};

// Hands each pair to the file-comparison program of `settings` (read again
// after each visit to General Settings). `selectedCount` is the number of
// items selected in the list, which decides whether to ask before starting
// more than one program; `pairs` are those of them that have both sides.
// Without a program it asks the user to locate one first; a program that
// does not start is reported, and after General Settings is tried once more.
void VisualiseDifferences(size_t selectedCount, const std::vector<PathPair>& pairs,
                          const Settings& settings, Prompter& prompter, ViewerHost& host);

}  // namespace ravelmoor
