#include <gtest/gtest.h>

#include "core/settings/FolderHistory.h"
#include "core/settings/Settings.h"
#include "core/settings/SettingsStore.h"
#include "support/TempConfigHome.h"

namespace ravelmoor {
namespace {

Settings LoadAll() {
    SettingsStore store;
    Settings settings;
    settings.LoadAtStartup(store);
    settings.LoadMainWindowFields(store);
    return settings;
}

TEST(Settings, EmptyStoreGivesTheDefaults) {
    test::TempConfigHome home;
    const Settings settings = LoadAll();
    EXPECT_EQ(settings, Settings{});
    EXPECT_EQ(settings.SummaryText(), "Settings: size/time; Filters: ");
}

TEST(Settings, FilterRulesAreReadUpToNumFil) {
    struct Case {
        std::string ini;
        FilterRules expected;
    };
    const std::vector<Case> cases = {
        {"[Settings]\nNumFil=0\nFil-t0=Include\nFil-e0=x\n", {}},
        {"[Settings]\nNumFil=1\nFil-t0=Include\nFil-e0=a\nFil-t1=Exclude\nFil-e1=b\n",
         {{"Include", "a"}}},
        {"[Settings]\nNumFil=2\nFil-t0=Include\nFil-e1=b\n", {{"Include", " "}, {" ", "b"}}},
        {"[Settings]\nNumFil=-3\nFil-t0=Include\n", {}},
    };
    for (const Case& c : cases) {
        test::TempConfigHome home;
        home.WriteIni(c.ini);
        EXPECT_EQ(LoadAll().filterRules, c.expected) << c.ini;
    }
}

// Every field away from its default.
Settings AllChanged() {
    Settings settings;
    settings.ignoreTwoSeconds = true;
    settings.ignoreSixtySeconds = true;
    settings.ignoreOneHour = true;
    settings.crcChunk = 4294967295u;
    settings.comparisonProgram = "/usr/bin/meld";
    settings.comparisonParameters = "--diff \"%s1\" \"%s2\"";
    settings.backgroundOn = false;
    settings.filterRules = {{"Include", "\\.txt$"}, {"Exclude", "1"}, {"Exclude", ""}};
    settings.includeSubFolders = true;
    settings.comparisonMethod = 2;
    return settings;
}

TEST(Settings, WhatIsSavedLoadsBack) {
    test::TempConfigHome home;
    const Settings saved = AllChanged();
    FolderHistory source(FolderHistory::kSourceSection);
    FolderHistory target(FolderHistory::kTargetSection);
    source.AddToHistory("/data/one");
    target.AddToHistory("/backup/one");
    {
        SettingsStore store;
        saved.SaveGeneralSettings(store);
        saved.SaveAtExit(store, source, target);
    }
    Settings expected = saved;
    expected.sourceFolder = "/data/one";
    expected.targetFolder = "/backup/one";
    EXPECT_EQ(LoadAll(), expected);
    EXPECT_NE(home.Ini().find("\nChunk=4294967295\n"), std::string::npos);
}

TEST(Settings, RestoreDefaultsKeepsTheTwoSecondFlagAndTheHistories) {
    test::TempConfigHome home;
    Settings settings = AllChanged();
    settings.sourceFolder = "/a";
    settings.settingsFileName = "/s.zvs";
    settings.RestoreDefaults();
    Settings expected;
    expected.ignoreTwoSeconds = true;
    expected.backgroundOn = false;
    EXPECT_EQ(settings, expected);

    FolderHistory source(FolderHistory::kSourceSection);
    source.AddToHistory("/a");
    {
        SettingsStore store;
        settings.SaveAtExit(store, source, FolderHistory(FolderHistory::kTargetSection));
    }
    EXPECT_EQ(LoadAll().sourceFolder, "/a");
    EXPECT_EQ(LoadAll().targetFolder, "");
}

// An unknown method reads as "both", any rule type but "Include" as an exclusion.
TEST(Settings, SummaryText_OddValues_ReadAsBothAndExclusions) {
    Settings odd;
    odd.comparisonMethod = 7;
    odd.filterRules = {{"include", "a"}, {" ", " "}, {"Include", ""}};
    EXPECT_EQ(odd.SummaryText(), "Settings: both; Filters: Exc(a); Exc( ); Inc(); ");
}

TEST(Settings, SkinIsReadOnlyWithTheBackgroundOn) {
    test::TempConfigHome home;
    home.WriteIni("[Settings]\nbackground=0\nSkin=/skins/wood.bmp\n[Warn]\n256col=1\n");
    const Settings settings = LoadAll();
    EXPECT_EQ(settings.skinPath, "");
    EXPECT_FALSE(settings.lowColourWarned);
}

}  // namespace
}  // namespace ravelmoor
