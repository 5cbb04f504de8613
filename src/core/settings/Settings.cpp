#include "core/settings/Settings.h"

#include <algorithm>

#include "core/settings/FolderHistory.h"
#include "core/settings/SettingsStore.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

namespace keys = settings_keys;

// A rule count from a hand-edited store is not trusted further than this;
// every rule would otherwise be made, if only of the missing-value text.
constexpr int64_t kMaxStoredFilterRules = 1 << 16;

bool ReadFlag(const SettingsStore& store, const char* name, bool fallback) {
    return store.ReadInt(keys::kSection, name, fallback ? 1 : 0) != 0;
}

void WriteFlag(SettingsStore& store, const char* name, bool value) {
    store.WriteInt(keys::kSection, name, value ? 1 : 0);
}

std::string FilterKey(const char* prefix, size_t index) {
    return prefix + std::to_string(index);
}

}  // namespace

void Settings::LoadAtStartup(const SettingsStore& store) {
    ignoreTwoSeconds = ReadFlag(store, keys::kIgnoreTwoSeconds, false);
    ignoreSixtySeconds = ReadFlag(store, keys::kIgnoreSixtySeconds, false);
    ignoreOneHour = ReadFlag(store, keys::kIgnoreOneHour, false);
    // The store's integers are 32-bit words to the rest of the program.
    crcChunk = static_cast<uint32_t>(store.ReadInt(keys::kSection, keys::kCrcChunk, 0));
    comparisonProgram = store.ReadString(keys::kSection, keys::kComparisonProgram, "");
    comparisonParameters =
        store.ReadString(keys::kSection, keys::kComparisonParameters, kDefaultComparisonParameters);
    backgroundOn = ReadFlag(store, keys::kBackgroundOn, true);
    keepReplaced = ReadFlag(store, keys::kKeepReplaced, true);
    versionDays = StoredVersionDays(store);

    const int64_t count = std::clamp<int64_t>(store.ReadInt(keys::kSection, keys::kFilterCount, 0),
                                              0, kMaxStoredFilterRules);
    filterRules.clear();
    for (size_t k = 0; k < static_cast<size_t>(count); ++k) {
        filterRules.push_back(
            {store.ReadString(keys::kSection, FilterKey(keys::kFilterTypePrefix, k),
                              kMissingFilterText),
             store.ReadString(keys::kSection, FilterKey(keys::kFilterExpressionPrefix, k),
                              kMissingFilterText)});
    }

    if (backgroundOn) {
        skinPath = store.ReadString(keys::kSection, keys::kSkinPath, "");
        lowColourWarned = store.ReadInt(keys::kWarnSection, keys::kLowColourWarned, 0) != 0;
    }
}

void Settings::LoadMainWindowFields(const SettingsStore& store) {
    sourceFolder = store.ReadString(keys::kSection, keys::kSourceFolder, "");
    targetFolder = store.ReadString(keys::kSection, keys::kTargetFolder, "");
    includeSubFolders = ReadFlag(store, keys::kIncludeSubFolders, false);
    comparisonMethod =
        static_cast<int32_t>(store.ReadInt(keys::kSection, keys::kComparisonMethod, 0));
}

void Settings::SaveAtExit(SettingsStore& store, const FolderHistory& sourceHistory,
                          const FolderHistory& targetHistory) const {
    if (!sourceHistory.Entries().empty()) {
        store.WriteString(keys::kSection, keys::kSourceFolder, sourceHistory.Entries().front());
    }
    if (!targetHistory.Entries().empty()) {
        store.WriteString(keys::kSection, keys::kTargetFolder, targetHistory.Entries().front());
    }
    WriteFlag(store, keys::kIncludeSubFolders, includeSubFolders);
    store.WriteInt(keys::kSection, keys::kComparisonMethod, comparisonMethod);
    WriteFlag(store, keys::kBackgroundOn, backgroundOn);
    store.WriteInt(keys::kSection, keys::kFilterCount, static_cast<int64_t>(filterRules.size()));
    for (size_t k = 0; k < filterRules.size(); ++k) {
        store.WriteString(keys::kSection, FilterKey(keys::kFilterTypePrefix, k),
                          filterRules[k].type);
        store.WriteString(keys::kSection, FilterKey(keys::kFilterExpressionPrefix, k),
                          filterRules[k].expression);
    }
}

void Settings::SaveGeneralSettings(SettingsStore& store) const {
    WriteFlag(store, keys::kIgnoreTwoSeconds, ignoreTwoSeconds);
    WriteFlag(store, keys::kIgnoreSixtySeconds, ignoreSixtySeconds);
    WriteFlag(store, keys::kIgnoreOneHour, ignoreOneHour);
    store.WriteInt(keys::kSection, keys::kCrcChunk, crcChunk);
    store.WriteString(keys::kSection, keys::kComparisonProgram, comparisonProgram);
    store.WriteString(keys::kSection, keys::kComparisonParameters, comparisonParameters);
    WriteFlag(store, keys::kKeepReplaced, keepReplaced);
    store.WriteInt(keys::kSection, keys::kVersionDays, versionDays);
}

int StoredVersionDays(const SettingsStore& store) {
    return static_cast<int>(
        std::clamp<int64_t>(store.ReadInt(keys::kSection, keys::kVersionDays, kDefaultVersionDays),
                            0, kMaxVersionDays));
}

void Settings::ForgetSkin(SettingsStore& store) {
    skinPath.clear();
    store.WriteString(keys::kSection, keys::kSkinPath, "");
}

void Settings::RememberLowColourWarning(SettingsStore& store) {
    lowColourWarned = true;
    store.WriteInt(keys::kWarnSection, keys::kLowColourWarned, 1);
}

void Settings::RestoreDefaults() {
    sourceFolder.clear();
    targetFolder.clear();
    includeSubFolders = false;
    settingsFileName.clear();
    comparisonMethod = 0;
    filterRules.clear();
    ignoreSixtySeconds = false;
    ignoreOneHour = false;
    crcChunk = 0;
    comparisonProgram.clear();
    comparisonParameters = kDefaultComparisonParameters;
}

std::string Settings::SummaryText() const {
    // The window shows it in the user's language; the short words are marked
    // one by one, the separators stay.
    auto word = [](const char* text) { return Translated("Settings", text); };
    std::string text = word(QT_TRANSLATE_NOOP("Settings", "Settings:")) + " ";
    if (includeSubFolders) text += word(QT_TRANSLATE_NOOP("Settings", "sub-fol")) + "; ";
    switch (comparisonMethod) {
        case 0:
            text += word(QT_TRANSLATE_NOOP("Settings", "size/time")) + "; ";
            break;
        case 1:
            text += word(QT_TRANSLATE_NOOP("Settings", "CRC")) + "; ";
            break;
        default:
            text += word(QT_TRANSLATE_NOOP("Settings", "both")) + "; ";
            break;
    }
    if (ignoreOneHour) text += word(QT_TRANSLATE_NOOP("Settings", "DST")) + "; ";
    if (ignoreSixtySeconds) text += word(QT_TRANSLATE_NOOP("Settings", "secs")) + "; ";
    if (ignoreTwoSeconds) text += word(QT_TRANSLATE_NOOP("Settings", "2 secs")) + "; ";
    if (crcChunk != 0) {
        text +=
            FillIn(QCoreApplication::translate("Settings", "cs=%1"), {std::to_string(crcChunk)}) +
            "; ";
    }
    text += word(QT_TRANSLATE_NOOP("Settings", "Filters:")) + " ";
    for (const FilterRule& rule : filterRules) {
        text += FillIn(rule.IsInclude() ? QCoreApplication::translate("Settings", "Inc(%1)")
                                        : QCoreApplication::translate("Settings", "Exc(%1)"),
                       {rule.expression}) +
                "; ";
    }
    return text;
}

std::string SettingsWindowTitle(const std::string& settingsFileName) {
    std::string title = "Ravelmoor";
    if (!settingsFileName.empty()) title += " [" + settingsFileName + "]";
    return title;
}

}  // namespace ravelmoor
