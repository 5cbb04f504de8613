#pragma once

#include <string>
#include <string_view>

#include "core/engine/Outcome.h"
#include "core/settings/Settings.h"

class QIODevice;

namespace ravelmoor {

// A settings file (".zvs") holds one comparison set-up. It is a flat stream:
// the magic line, both folders, sub-folders, method, the three tolerances,
// the chunk, the comparison program and its parameters, and the filter rules
// (a count, then type and expression of each). Integers are 32-bit
// little-endian; a string is its length then its bytes, the length as one
// byte (0 to 254), as 0xFF and 16 bits (255 to 65 533), or as 0xFF, 0xFFFF
// and 32 bits (65 534 and more).
inline constexpr std::string_view kSettingsFileMagic =
    "Ravelmoor file [[[[[>>>>>]]]]]]---/KVOLT-(odrane)(quespen) - file version 1.2.1";
inline constexpr const char* kSettingsFileExtension = "zvs";

// True for a first argument that names a settings file: one ending in ".zvs",
// in any case. The desktop program opens such a file and compares at once.
bool IsSettingsFileArgument(std::string_view argument);

// The bytes of a settings file holding `settings`.
std::string SerializeSettings(const Settings& settings);

// Reads a settings file from `file` into `settings`. False when the magic line
// differs, the file ends before its fields do, a string holds a NUL, or a
// length or count is more than the bytes left in the file could hold (or a
// count is negative); `settings` is then untouched. So memory stays in
// proportion to the file's size whatever its bytes say.
bool DeserializeSettings(QIODevice& file, Settings& settings);

// A relative folder in a settings file is relative to the folder of the file
// itself, so that a file travels with the folders it names: loading makes it
// absolute (an empty folder and an "(ftp) NAME" side stay as they are).
bool IsRelativeFolder(std::string_view folder);

// The checks and messages around reading and writing a settings file, free of
// any window: the caller has asked for the path (a file dialog, a command
// line), shows the outcome's reason (a refusal as a warning, a save's
// confirmation as a notice) and `SettingsWindowTitle(settings.settingsFileName)`
// afterwards. Every refusal leaves `settings` as it was, except that a file
// that is not a settings file also clears `settingsFileName`. Paths keep their
// case; a relative path is made absolute.
enum class SettingsFileStatus {
    Done,
    NothingNamed,    // no file was named; nothing to say
    WrongExtension,  // not "zvs"
    NotFound,
    Unreadable,  // a folder, or the file cannot be opened
    Invalid,     // not a settings file, or cut short
    NotWritten,
};
using SettingsFileOutcome = Outcome<SettingsFileStatus>;

// A file chosen to load: the extension must be "zvs" (in any case), the file
// must exist and be readable and hold a settings file.
SettingsFileOutcome LoadChosenSettingsFile(const std::string& path, Settings& settings);

// A file chosen to save to (created or replaced as a whole). Once saved, the
// reason is the confirmation that names the file.
SettingsFileOutcome SaveChosenSettingsFile(const std::string& path, Settings& settings);

// The settings file named when the program is started (any extension; an
// empty argument does nothing). Done when it was loaded and the comparison
// should start at once.
SettingsFileOutcome LoadSettingsFromCommandLine(const std::string& argument, Settings& settings);

}  // namespace ravelmoor
