#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <fstream>

#include "core/settings/Settings.h"
#include "core/settings/SettingsStore.h"
#include "gui/settings/GeneralSettingsDialog.h"
#include "support/ScriptedPrompter.h"
#include "support/TempConfigHome.h"
#include "support/TempTree.h"
#include "support/WindowDriver.h"

namespace ravelmoor {
namespace {

class GeneralSettingsDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dialog = std::make_unique<GeneralSettingsDialog>(settings, store, prompter, pickers);
        dialog->show();
        const auto edits = dialog->findChildren<QLineEdit*>();
        chunk = edits.at(0);
        program = edits.at(1);
        parameters = edits.at(2);
    }

    void PressOk() { test::PressButton(*dialog, QDialogButtonBox::Ok); }

    test::TempConfigHome home;
    test::TempTree tree;
    SettingsStore store;
    Settings settings;
    test::ScriptedPrompter prompter;
    test::ScriptedPickers pickers;
    std::unique_ptr<GeneralSettingsDialog> dialog;
    QLineEdit* chunk = nullptr;
    QLineEdit* program = nullptr;
    QLineEdit* parameters = nullptr;
};

TEST_F(GeneralSettingsDialogTest, Ok_ChecksInOrder_FirstRefusalKeepsTheDialogOpen_CancelKeepsAll) {
    tree.Write("bin/viewer", "#!/bin/sh\n");
    const std::string quoted = R"(/a "%s2" /b "%s1")";
    const std::string parametersMessage =
        R"(Parameters must contain at least the text "%s1" and "%s2". These constants will identify the two files to compare.)";
    struct Case {
        std::string chunk, program, parameters, message;
        QLineEdit* focus;
    };
    const std::vector<Case> cases = {
        {"", "/no/such", "%s1 %s2", "The minimum for the byte value is 0", chunk},
        {"4294967296", "", quoted, "The maximum for the byte value is 4294967295", chunk},
        {"0", "/no/such", "%s1 %s2", parametersMessage, parameters},
        {"0", "/no/such", R"("%s1")", parametersMessage, parameters},
        {"0", "/no/such", quoted, R"(Can not find "/no/such")", program},
    };
    for (const Case& c : cases) {
        test::Retype(chunk, c.chunk);
        test::Retype(program, c.program);
        test::Retype(parameters, c.parameters);
        PressOk();
        EXPECT_EQ(prompter.Texts().back(), c.message) << c.chunk << " " << c.parameters;
        EXPECT_EQ(dialog->focusWidget(), c.focus) << c.message;
        EXPECT_TRUE(dialog->isVisible());
    }
    dialog->findChildren<QCheckBox*>().at(0)->click();
    test::PressButton(*dialog, QDialogButtonBox::Cancel);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(settings, Settings());
    EXPECT_EQ(home.Ini(), "");

    // Accepted: an empty program, a program file, or a program on the PATH.
    for (const std::string& accepted :
         {std::string(), tree.Full("bin/viewer"), std::string("sh")}) {
        dialog->show();
        test::Retype(chunk, "4096");
        test::Retype(program, accepted);
        test::Retype(parameters, quoted);
        QTest::mouseClick(dialog->findChildren<QCheckBox*>().at(1), Qt::LeftButton);
        PressOk();
        EXPECT_FALSE(dialog->isVisible()) << accepted;
        EXPECT_EQ(settings.comparisonProgram, accepted);
    }
    EXPECT_EQ(prompter.Log().size(), cases.size());
    EXPECT_EQ(settings.crcChunk, 4096u);
    EXPECT_EQ(settings.comparisonParameters, quoted);
    EXPECT_TRUE(settings.ignoreSixtySeconds);  // clicked three times
    Settings reread;
    reread.LoadAtStartup(SettingsStore());
    EXPECT_EQ(reread.crcChunk, 4096u);
    EXPECT_EQ(reread.comparisonProgram, "sh");
    EXPECT_TRUE(reread.ignoreSixtySeconds);
}

TEST_F(GeneralSettingsDialogTest, Ok_StoreCannotBeWritten_SaysWhichFileAndCloses) {
    // A file where the store's folder belongs.
    std::ofstream(home.Path() + "/KVOLT") << "not a folder";
    test::Retype(chunk, "4096");
    PressOk();
    EXPECT_EQ(prompter.Texts(), std::vector{"Could not write " + home.IniPath() + "."});
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(settings.crcChunk, 4096u);
}

TEST_F(GeneralSettingsDialogTest, Browse_PutsTheChosenProgramInTheBox) {
    test::Retype(program, "/usr/bin/old");
    pickers.answers = {std::nullopt, std::string("/usr/bin/new")};
    auto* browse = test::ChildWithText<QPushButton>(*dialog, "Browse...");
    browse->click();
    EXPECT_EQ(program->text(), "/usr/bin/old");
    browse->click();
    EXPECT_EQ(program->text(), "/usr/bin/new");
    ASSERT_EQ(pickers.asked.size(), 2u);
    EXPECT_EQ(pickers.asked[0].title, "Select File Comparison Program");
    EXPECT_EQ(pickers.asked[0].initial, "/usr/bin/old");
}

}  // namespace
}  // namespace ravelmoor
