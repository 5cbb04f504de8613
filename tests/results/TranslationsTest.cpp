#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLocale>
#include <QPushButton>
#include <QTest>

#include "gui/main/MainWindow.h"
#include "gui/main/Translations.h"
#include "gui/widgets/ElidedLabel.h"
#include "results/ResultsFixture.h"

namespace ravelmoor::test {
namespace {

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
    CompareTrees();
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

}  // namespace
}  // namespace ravelmoor::test
