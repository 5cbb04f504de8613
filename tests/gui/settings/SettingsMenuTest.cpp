#include <QCheckBox>
#include <QDialogButtonBox>
#include <QRadioButton>
#include <QToolButton>

#include "gui/filters/FilterDialog.h"
#include "gui/filters/FilterListDialog.h"
#include "gui/settings/GeneralSettingsDialog.h"
#include "gui/settings/SettingsMenu.h"
#include "support/MainWindowFixture.h"

namespace ravelmoor {
namespace {

using SettingsMenuTest = test::MainWindowFixture;

// Adds one include rule through the "Filters" and "Filter" dialogs.
void AddIncludeRule(FilterListDialog& list, const QString& expression) {
    test::WhenShown<FilterDialog>([expression](FilterDialog& filter) {
        test::ChildWithText<QRadioButton>(filter, "Include")->click();
        QTest::keyClicks(filter.findChild<QLineEdit*>(), expression);
        test::PressButton(filter, QDialogButtonBox::Ok);
    });
    for (QToolButton* button : list.findChildren<QToolButton*>()) {
        if (button->accessibleName() == "Add Filter") button->click();
    }
    test::PressButton(list, QDialogButtonBox::Ok);
}

TEST_F(SettingsMenuTest, MenuCommands_UpdateSummaryAndChecks_AndSurviveARestart) {
    SettingsMenu& menu = *window->Menu();
    tree.MakeFolder("s");
    tree.MakeFolder("t");
    Type(window->SourceBox(), tree.Full("s"));
    Type(window->TargetBox(), tree.Full("t"));
    const std::string file = tree.Full("Setup.zvs");
    tree.Write("bad.zvs", "not a settings file");
    pickers.answers = {file, tree.Full("bad.zvs"), file};
    struct Step {
        const char* what;
        std::function<void()> command;
        std::string summary;
    };
    const std::vector<Step> steps = {
        {"start", [] {}, "Settings: size/time; Filters: "},
        {"sub-folders", [&] { menu.includeSubFolders->trigger(); },
         "Settings: sub-fol; size/time; Filters: "},
        {"crc", [&] { menu.crc->trigger(); }, "Settings: sub-fol; CRC; Filters: "},
        {"both", [&] { menu.both->trigger(); }, "Settings: sub-fol; both; Filters: "},
        {"filters",
         [&] {
             test::WhenShown<FilterListDialog>(
                 [](FilterListDialog& list) { AddIncludeRule(list, "\\.txt$"); });
             menu.filters->trigger();
         },
         "Settings: sub-fol; both; Filters: Inc(\\.txt$); "},
        {"general settings",
         [&] {
             test::WhenShown<GeneralSettingsDialog>([](GeneralSettingsDialog& dialog) {
                 test::ChildWithText<QCheckBox>(dialog,
                                                "Ignore up tp 60 seconds difference between files")
                     ->click();
                 test::ChildWithText<QCheckBox>(dialog,
                                                "Ignore 1 hour difference between files (DST) ")
                     ->click();
                 test::ChildWithText<QCheckBox>(
                     dialog, "Ignore up to 2 seconds difference between files (NTFS/FAT)")
                     ->click();
                 auto* chunk = dialog.findChildren<QLineEdit*>().at(0);
                 chunk->clear();
                 QTest::keyClicks(chunk, "4096");
                 test::PressButton(dialog, QDialogButtonBox::Ok);
             });
             menu.generalSettings->trigger();
         },
         "Settings: sub-fol; both; DST; secs; 2 secs; cs=4096; Filters: Inc(\\.txt$); "},
        {"save", [&] { menu.saveSettings->trigger(); },
         "Settings: sub-fol; both; DST; secs; 2 secs; cs=4096; Filters: Inc(\\.txt$); "},
        {"restore defaults", [&] { menu.restoreDefaults->trigger(); },
         "Settings: size/time; 2 secs; Filters: "},
        {"load a bad file", [&] { menu.loadSettings->trigger(); },
         "Settings: size/time; 2 secs; Filters: "},
        {"load", [&] { menu.loadSettings->trigger(); },
         "Settings: sub-fol; both; DST; secs; 2 secs; cs=4096; Filters: Inc(\\.txt$); "},
        {"size and timestamp", [&] { menu.sizeAndTimestamp->trigger(); },
         "Settings: sub-fol; size/time; DST; secs; 2 secs; cs=4096; Filters: Inc(\\.txt$); "},
        {"background", [&] { menu.background->trigger(); },
         "Settings: sub-fol; size/time; DST; secs; 2 secs; cs=4096; Filters: Inc(\\.txt$); "},
        {"crc again", [&] { menu.crc->trigger(); },
         "Settings: sub-fol; CRC; DST; secs; 2 secs; cs=4096; Filters: Inc(\\.txt$); "},
    };
    for (const Step& step : steps) {
        step.command();
        EXPECT_EQ(window->SummaryLine().toStdString(), step.summary) << step.what;
        EXPECT_EQ(menu.includeSubFolders->isChecked(), settings.includeSubFolders) << step.what;
    }
    EXPECT_EQ(prompter.Texts(),
              (std::vector<std::string>{"Settings saved to file: " + file, "Invalid file."}));
    EXPECT_EQ(pickers.asked[0].title, "Save settings to a file");
    EXPECT_EQ(pickers.asked[1].title, "Load settings from a file");
    EXPECT_EQ(pickers.asked[1].initial, "");  // restore defaults forgot the file
    EXPECT_EQ(menu.background->text(), "Restore background color");
    EXPECT_EQ(window->windowTitle().toStdString(), "Ravelmoor [" + file + "]");
    EXPECT_EQ(window->SourceBox()->Text(), tree.Full("s"));

    Open();
    EXPECT_EQ(window->SummaryLine().toStdString(), steps.back().summary);
    EXPECT_TRUE(window->Menu()->includeSubFolders->isChecked());
    EXPECT_TRUE(window->Menu()->crc->isChecked());
}

}  // namespace
}  // namespace ravelmoor
