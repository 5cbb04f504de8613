#pragma once

#include <cstdint>
#include <string>

#include "core/settings/CompareJob.h"
#include "core/sync/ServerVersions.h"

namespace ravelmoor {

class FolderHistory;
class SettingsStore;

// Section and value names of the per-user store.
namespace settings_keys {
inline constexpr const char* kSection = "Settings";
inline constexpr const char* kIgnoreTwoSeconds = "2Secs";
inline constexpr const char* kIgnoreSixtySeconds = "Secs";
inline constexpr const char* kIgnoreOneHour = "1Hour";
inline constexpr const char* kCrcChunk = "Chunk";
inline constexpr const char* kComparisonProgram = "CompProg";
inline constexpr const char* kComparisonParameters = "CompProgParms";
inline constexpr const char* kBackgroundOn = "background";
inline constexpr const char* kKeepReplaced = "KeepReplaced";
inline constexpr const char* kVersionDays = "VersionDays";
inline constexpr const char* kFilterCount = "NumFil";
inline constexpr const char* kFilterTypePrefix = "Fil-t";
inline constexpr const char* kFilterExpressionPrefix = "Fil-e";
inline constexpr const char* kSkinPath = "Skin";
inline constexpr const char* kSourceFolder = "SourceDir";
inline constexpr const char* kTargetFolder = "TargetDir";
inline constexpr const char* kIncludeSubFolders = "RecDir";
inline constexpr const char* kComparisonMethod = "CompType";
inline constexpr const char* kWarnSection = "Warn";
inline constexpr const char* kLowColourWarned = "256col";
}  // namespace settings_keys

// Everything the user can set, in one place: the comparison (the job it
// holds), the external comparison program and the background.
struct Settings : CompareJob {
    static constexpr const char* kDefaultComparisonParameters = R"("%s1" "%s2")";
    // What a rule read from the store gets for a missing type or expression.
    static constexpr const char* kMissingFilterText = " ";

    // Application-wide; the job's tolerances, chunk and filter rules are too.
    std::string comparisonProgram;
    std::string comparisonParameters = kDefaultComparisonParameters;
    bool backgroundOn = true;
    bool keepReplaced = true;  // a replaced file's old version goes to the trash
    // Days a server keeps what a sync replaced or deleted there.
    int versionDays = kDefaultVersionDays;
    std::string skinPath;  // empty: the built-in background
    bool lowColourWarned = false;

    // Main window: the job's folders, sub-folders and method, and
    std::string settingsFileName;  // the file last loaded or saved; not stored

    // At start-up: the tolerances, chunk, comparison program, background flag
    // and filter rules, then, only with the background on, the skin and the
    // low-colour flag.
    void LoadAtStartup(const SettingsStore& store);
    // The main window's own values: folders, sub-folders and method.
    void LoadMainWindowFields(const SettingsStore& store);
    // When the main window goes: the folders from the first history entries
    // (each only when its history has one), sub-folders, method, background
    // and the filter rules. Values of a longer earlier rule list stay behind,
    // unread.
    void SaveAtExit(SettingsStore& store, const FolderHistory& sourceHistory,
                    const FolderHistory& targetHistory) const;
    // The values that only confirming the general settings writes.
    void SaveGeneralSettings(SettingsStore& store) const;
    // A skin that failed to load is forgotten, in memory and in the store.
    void ForgetSkin(SettingsStore& store);
    void RememberLowColourWarning(SettingsStore& store);

    // In memory only; the 2-second tolerance, the background, the skin and
    // the histories keep their values.
    void RestoreDefaults();

    // The one-line summary shown in the status bars, in the user's language.
    std::string SummaryText() const;

    bool operator==(const Settings&) const = default;
};

// The days a server keeps versions, as the store says (within 0 and
// kMaxVersionDays; the default where it says nothing).
int StoredVersionDays(const SettingsStore& store);

// The main window's title: the application's name, and the settings file in
// brackets when there is one.
std::string SettingsWindowTitle(const std::string& settingsFileName);

}  // namespace ravelmoor
