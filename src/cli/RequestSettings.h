#pragma once

#include <string>

#include "cli/CompareOptions.h"
#include "core/settings/Settings.h"

namespace ravelmoor {

// Loads the settings file at `path` (--settings) and puts its sub-folders,
// method, tolerances, chunk and filters into `request`, replacing what earlier
// options set; its folders (relative ones made absolute against the file's
// folder) wait in `request.loadedSettings`. Refused, naming the file and the
// reason, when the file cannot be loaded.
OptionOutcome LoadRequestSettings(const std::string& path, CompareRequest& request);

// The settings a request runs with, as the settings file at `path` holds
// them. A local folder given as an absolute path is written as the absolute
// path it names, one given as a relative path relative to the file's folder;
// the comparison program comes from a --settings file, if any.
Settings SettingsOfRequest(const CompareRequest& request, const std::string& path);

// Writes `SettingsOfRequest` to `request.saveSettingsPath` (--save-settings),
// saying so on stderr.
OptionOutcome SaveRequestSettings(const CompareRequest& request);

}  // namespace ravelmoor
