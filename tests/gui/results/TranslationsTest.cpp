#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLocale>
#include <QPushButton>
#include <QTest>

#include "core/sync/SyncSummary.h"
#include "gui/main/MainWindow.h"
#include "gui/main/Translations.h"
#include "gui/results/ResultsFixture.h"
#include "gui/widgets/ElidedLabel.h"
#include "gui/widgets/HelpWindow.h"

namespace ravelmoor::test {
namespace {

using ::testing::HasSubstr;

class TranslationsTest : public ResultsTest {};

// The real windows in the language the locale picks: German from the
// compiled-in translation (Qt's standard buttons too), and the English texts
// as written for English and for a language without a translation.
TEST_F(TranslationsTest, Windows_ShowTheLocalesLanguage) {
    struct Case {
        const char* locale;
        const char* language;
        const char* compare;
        const char* sourcePath;
        const char* method;
        const char* noMethod;
        const char* cancel;
    };
    const Case cases[] = {
        {"de_DE", "de_DE", "Vergleichen", "Quelle: ", "Ziel ergänzen",
         "Bitte wählen Sie eine Synchronisationsmethode.", "Abbrechen"},
        {"de_AT", "de_DE", "Vergleichen", "Quelle: ", "Ziel ergänzen",
         "Bitte wählen Sie eine Synchronisationsmethode.", "Abbrechen"},
        {"en_GB", "", "Compare", "Source: ", "Augment Target", "Please select sync method.",
         "Cancel"},
        {"C", "", "Compare", "Source: ", "Augment Target", "Please select sync method.", "Cancel"},
        {"sw_KE", "", "Compare", "Source: ", "Augment Target", "Please select sync method.",
         "Cancel"},
    };
    WriteEachStatus(1000, 2000);
    Compare();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        const Translations translations{QLocale(QString::fromLatin1(c.locale))};
        EXPECT_EQ(translations.Language().toStdString(), c.language);

        MainWindow main(settings, store, prompter);
        EXPECT_EQ(main.CompareButton()->text().toStdString(), c.compare);

        Open();
        EXPECT_EQ(window->PathLabel(ListSide::Source)->text().toStdString(),
                  c.sourcePath + source.Root());
        EXPECT_EQ(
            window->MethodCombo()->itemText(static_cast<int>(SyncMethod::Augment)).toStdString(),
            c.method);
        // A message the core composes reaches the window in the same language.
        QTest::mouseClick(window->SynchroniseButton(), Qt::LeftButton);
        ASSERT_FALSE(prompter.Texts().empty());
        EXPECT_EQ(prompter.Texts().back(), c.noMethod);

        QDialogButtonBox buttons(QDialogButtonBox::Cancel);
        EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text().toStdString(), c.cancel);
    }
}

// The plural forms of the translation pick the form by the count, English
// keeps its own, and the help opens in the translation's language.
TEST_F(TranslationsTest, CountsAndHelp_FollowTheLanguage) {
    struct Case {
        const char* locale;
        const char* one;
        const char* many;
        const char* page;
    };
    const Case cases[] = {
        {"de_DE", ": 1 Datei kopiert (7 Bytes), 2 Objekte in den Papierkorb verschoben.",
         " 3 Objekte wurden nicht kopiert oder gelöscht.", "qrc:/help/de/filters.htm"},
        {"en_GB", ": 1 file copied (7 bytes), 2 objects moved to the trash.",
         " 3 objects were not copied or deleted.", "qrc:/help/filters.htm"},
    };
    SyncTally tally;
    tally.filesCopied = 1;
    tally.bytesCopied = 7;
    tally.movedToTrash = 2;
    tally.notDone = 3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        const Translations translations{QLocale(QString::fromLatin1(c.locale))};
        const std::string summary = SyncSummaryText(tally, false, 2);
        EXPECT_THAT(summary, HasSubstr(c.one));
        EXPECT_THAT(summary, HasSubstr(c.many));

        HelpWindow help;
        help.ShowTopic(help_topics::kFilters);
        EXPECT_EQ(help.CurrentPage().toStdString(), c.page);
    }
}

}  // namespace
}  // namespace ravelmoor::test
