#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ravelmoor {

class Prompter;
struct Settings;

inline constexpr std::string_view kLocateViewerMessage = "Please locate File Comparison Program.";
inline constexpr std::string_view kMoreThanOnePairQuestion =
    "You have chosen to visualise differences between more then 1 couple of files: do you wish "
    "to continue?";
inline constexpr std::string_view kUnableToRunPrefix = "Unable to run: ";

// What "Visualise Differences" needs of the desktop.
class ViewerHost {
  public:
    virtual ~ViewerHost() = default;
    // Starts the command line without waiting for it; false when the
    // program did not start.
    virtual bool Start(const std::string& commandLine) = 0;
    // Opens the General Settings dialog; true when the user left it with OK.
    virtual bool EditSettings() = 0;
};

// The full paths of one row's two objects.
struct PathPair {
    std::string source;
    std::string target;
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
