#include <QCheckBox>
#include <QDialogButtonBox>
#include <QRadioButton>
#include <QToolButton>

#include "app/GeneralSettingsDialog.h"
#include "app/MainWindowFixture.h"
#include "app/SettingsMenu.h"
#include "filters/FilterDialog.h"
#include "filters/FilterListDialog.h"

namespace ravelmoor {
namespace {

using SettingsMenuTest = test::MainWindowFixture;

void PressOk(QWidget& dialog) {
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

// Adds one include rule through the "Filters" and "Filter" dialogs.
void AddIncludeRule(FilterListDialog& list, const QString& expression) {
    test::WhenShown<FilterDialog>([expression](FilterDialog& filter) {
        test::ChildWithText<QRadioButton>(filter, "Include")->click();
        QTest::keyClicks(filter.findChild<QLineEdit*>(), expression);
        PressOk(filter);
    });
    for (QToolButton* button : list.findChildren<QToolButton*>()) {
        if (button->toolTip() == "Add Filter") button->click();
    }
    PressOk(list);
}

TEST_F(SettingsMenuTest, SummaryLineAndChecks_FollowEveryMenuCommand) {
    SettingsMenu& menu = *window->Menu();
    tree.MakeFolder("s");
    tree.MakeFolder("t");
    Type(window->SourceBox(), tree.Full("s"));
    Type(window->TargetBox(), tree.Full("t"));
    const std::string file = tree.Full("Setup.zvs");
    pickers.answers = {file, file};
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
                 auto* chunk = dialog.findChildren<QLineEdit*>().at(0);
                 chunk->clear();
                 QTest::keyClicks(chunk, "4096");
                 PressOk(dialog);
             });
             menu.generalSettings->trigger();
         },
         "Settings: sub-fol; both; DST; secs; cs=4096; Filters: Inc(\\.txt$); "},
        {"save", [&] { menu.saveSettings->trigger(); },
         "Settings: sub-fol; both; DST; secs; cs=4096; Filters: Inc(\\.txt$); "},
        {"restore defaults", [&] { menu.restoreDefaults->trigger(); },
         "Settings: size/time; Filters: "},
        {"load", [&] { menu.loadSettings->trigger(); },
         "Settings: sub-fol; both; DST; secs; cs=4096; Filters: Inc(\\.txt$); "},
        {"size and timestamp", [&] { menu.sizeAndTimestamp->trigger(); },
         "Settings: sub-fol; size/time; DST; secs; cs=4096; Filters: Inc(\\.txt$); "},
        {"background", [&] { menu.background->trigger(); },
         "Settings: sub-fol; size/time; DST; secs; cs=4096; Filters: Inc(\\.txt$); "},
    };
    for (const Step& step : steps) {
        step.command();
        EXPECT_EQ(window->SummaryLine().toStdString(), step.summary) << step.what;
        EXPECT_EQ(menu.includeSubFolders->isChecked(), settings.includeSubFolders) << step.what;
    }
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Settings saved to file: " + file});
    EXPECT_EQ(pickers.asked[0].title, "Save settings to a file");
    EXPECT_EQ(pickers.asked[1].title, "Load settings from a file");
    EXPECT_EQ(pickers.asked[1].initial, "");  // restore defaults forgot the file
    EXPECT_TRUE(menu.sizeAndTimestamp->isChecked());
    EXPECT_EQ(menu.background->text(), "Restore background color");
    EXPECT_EQ(window->windowTitle().toStdString(), "Ravelmoor [" + file + "]");
    EXPECT_EQ(window->SourceBox()->Text(), tree.Full("s"));
}

TEST_F(SettingsMenuTest, LoadingABadFile_SaysWhyAndKeepsTheSettings) {
    tree.Write("bad.zvs", "not a settings file");
    tree.Write("notes.txt", "x");
    tree.MakeFolder("folder.zvs");
    window->Menu()->crc->trigger();
    struct Case {
        std::string path, message;
    };
    const std::vector<Case> cases = {
        {tree.Full("notes.txt"), "Incorrect file extension."},
        {tree.Full("gone.zvs"), "File " + tree.Full("gone.zvs") + " not found."},
        {tree.Full("folder.zvs"), "Can not read file " + tree.Full("folder.zvs")},
        {tree.Full("bad.zvs"), "Invalid file."},
    };
    for (const Case& c : cases) {
        pickers.answers = {c.path};
        window->Menu()->loadSettings->trigger();
        EXPECT_EQ(prompter.Texts().back(), c.message);
        EXPECT_EQ(window->SummaryLine().toStdString(), "Settings: CRC; Filters: ") << c.path;
        EXPECT_EQ(window->windowTitle(), "Ravelmoor");
    }
    EXPECT_EQ(prompter.Log().size(), cases.size());
}

TEST_F(SettingsMenuTest, Settings_SurviveARestart) {
    tree.MakeFolder("s");
    tree.MakeFolder("t");
    window->Menu()->includeSubFolders->trigger();
    window->Menu()->both->trigger();
    test::WhenShown<FilterListDialog>(
        [](FilterListDialog& list) { AddIncludeRule(list, "^docs/"); });
    window->Menu()->filters->trigger();
    test::WhenShown<GeneralSettingsDialog>([](GeneralSettingsDialog& dialog) {
        test::ChildWithText<QCheckBox>(dialog,
                                       "Ignore up to 2 seconds difference between files (NTFS/FAT)")
            ->click();
        PressOk(dialog);
    });
    window->Menu()->generalSettings->trigger();
    Compare(tree.Full("s"), tree.Full("t"));
    Open();

    EXPECT_EQ(window->SummaryLine().toStdString(),
              "Settings: sub-fol; both; 2 secs; Filters: Inc(^docs/); ");
    EXPECT_TRUE(window->Menu()->both->isChecked());
    EXPECT_EQ(window->SourceBox()->Text(), tree.Full("s"));
    EXPECT_EQ(window->TargetBox()->Text(), tree.Full("t"));
    EXPECT_NE(home.Ini().find("[LS]"), std::string::npos);
}

}  // namespace
}  // namespace ravelmoor
