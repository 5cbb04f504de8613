#include <gtest/gtest.h>

#include <QAction>
#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QTextBrowser>

#include "gui/filters/FilterDialog.h"
#include "gui/filters/FilterListDialog.h"
#include "gui/settings/GeneralSettingsDialog.h"
#include "gui/widgets/HelpWindow.h"
#include "support/MainWindowFixture.h"

namespace ravelmoor {
namespace {

using HelpTest = test::MainWindowFixture;

// The one help window is a window of its own, owned by the dialog it was opened from.
std::string PageShown() {
    const HelpWindow* help = test::FindVisibleWindow<HelpWindow>();
    return help == nullptr ? "" : help->CurrentPage().toStdString();
}

// Presses the dialog's help button and says which page came up.
std::string PressHelp(QWidget& dialog) {
    dialog.show();
    test::PressButton(dialog, QDialogButtonBox::Help);
    return PageShown();
}

TEST_F(HelpTest, EveryHelpButton_OpensItsTopic) {
    FilterRules rules;
    struct Case {
        const char* from;
        std::function<std::string()> open;
        std::string page;
    };
    const std::vector<Case> cases = {
        {"Contents",
         [&] {
             for (QAction* action : window->findChildren<QAction*>()) {
                 if (action->text() == "&Contents") action->trigger();
             }
             return PageShown();
         },
         "qrc:/help/main.htm"},
        {"General Settings",
         [&] {
             GeneralSettingsDialog dialog(settings, store, prompter, pickers, window.get());
             return PressHelp(dialog);
         },
         "qrc:/help/settings.htm"},
        {"Filters",
         [&] {
             FilterListDialog dialog(rules, prompter, window.get());
             return PressHelp(dialog);
         },
         "qrc:/help/filters.htm"},
        {"Filter",
         [&] {
             FilterDialog dialog({}, prompter, window.get());
             return PressHelp(dialog);
         },
         "qrc:/help/filters.htm"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.open(), c.page) << c.from;
    }
    // Every topic is compiled in and names the program's own texts.
    for (const char* topic : {help_topics::kMain, help_topics::kCompare, help_topics::kFilters,
                              help_topics::kSettings}) {
        QFile page(QStringLiteral(":/help/%1").arg(QLatin1String(topic)));
        ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << topic;
        EXPECT_TRUE(page.readAll().contains("<h1>")) << topic;
    }
}

}  // namespace
}  // namespace ravelmoor
