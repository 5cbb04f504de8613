#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cli/OptionTable.h"
#include "core/settings/CompareJob.h"
#include "core/settings/Settings.h"

namespace ravelmoor {

enum class OutputFormat { Text, Tsv, Json };

// What `ravelmoor compare` (and the comparison part of `sync`) was asked for.
struct CompareRequest {
    // What is compared: folders, sub-folders, method, tolerances, chunk and
    // --include / --exclude in the order given.
    CompareJob job;
    // The folder was given as a relative path (on the command line, or in a
    // --settings file); --save-settings writes it relative again.
    bool sourceRelative = false;
    bool targetRelative = false;
    bool showAll = false;
    bool quiet = false;  // -q: errors only
    // compare -v: how files are read and what the servers were asked;
    // sync -v: each action as it is carried out
    bool verbose = false;
    OutputFormat format = OutputFormat::Text;
    std::vector<std::string> positional;
    // --settings: the file's settings; its folders stand in for SOURCE and
    // TARGET when they are left out.
    std::optional<Settings> loadedSettings;
    std::string saveSettingsPath;  // --save-settings
    // --accept-new-host-key: an SFTP server whose host key is not known yet
    // is taken, and its key remembered; otherwise it is refused.
    bool acceptNewHostKey = false;
};

// Walks the words of a command line after the sub-command.
class ArgumentList {
  public:
    ArgumentList(int argc, char** argv, int first) {
        for (int i = first; i < argc; ++i)
            words_.emplace_back(argv[i]);
    }
    explicit ArgumentList(std::vector<std::string> words) : words_(std::move(words)) {}

    bool AtEnd() const { return next_ >= words_.size(); }
    const std::string& Peek() const { return words_[next_]; }
    std::string Take() { return words_[next_++]; }
    // Every word not taken yet.
    std::vector<std::string> TakeRest();
    // The value of an option into `value`: the text after '=' in
    // `--name=value`, or the next word; refused when there is none.
    OptionOutcome TakeValue(const std::string& option, std::string& value);

  private:
    std::vector<std::string> words_;
    size_t next_ = 0;
};

// The options shared by `compare` and `sync`, writing into `request`, which
// must outlive the rows. `--method` names the comparison method only when
// `methodIsComparison` (compare); sync uses it for its own method.
std::vector<OptionRow> CompareOptionRows(CompareRequest& request, bool methodIsComparison);

// Checks the words left over (SOURCE and TARGET) and moves them into the
// request; without them, the folders of a --settings file are taken. Refused
// when there are not two. Both commands end their parsing here, so this is
// also where --save-settings writes the request as it will run.
OptionOutcome TakeFolders(CompareRequest& request);

// The note under the options of `compare` and `sync` on FTP sides.
const char* RemoteSideHelp();

}  // namespace ravelmoor
