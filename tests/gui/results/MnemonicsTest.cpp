#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <map>

#include "gui/filters/FilterDialog.h"
#include "gui/filters/FilterListDialog.h"
#include "gui/ftp/FtpConnectionsDialog.h"
#include "gui/main/AboutDialog.h"
#include "gui/main/MainWindow.h"
#include "gui/main/Translations.h"
#include "gui/results/PreviewWindow.h"
#include "gui/results/ResultsFixture.h"
#include "gui/settings/GeneralSettingsDialog.h"

namespace ravelmoor::test {
namespace {

// The Alt key of a text ("&Source:" gives 's'); 0 without one.
QChar MnemonicOf(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&')) continue;
        if (text[i + 1] != QLatin1Char('&')) return text[i + 1].toLower();
        ++i;
    }
    return {};
}

// The texts of one window that share an Alt key, as "s: &Source: / &Settings".
std::vector<std::string> SharedKeys(QWidget& window) {
    window.show();
    std::map<QChar, QStringList> owners;
    auto add = [&owners](const QString& text) {
        if (const QChar key = MnemonicOf(text); !key.isNull()) owners[key].push_back(text);
    };
    for (QWidget* child : window.findChildren<QWidget*>()) {
        if (child->window() != &window || !child->isVisibleTo(&window)) continue;
        if (auto* button = qobject_cast<QAbstractButton*>(child)) add(button->text());
        if (auto* label = qobject_cast<QLabel*>(child); label && label->buddy()) add(label->text());
        if (auto* group = qobject_cast<QGroupBox*>(child)) add(group->title());
        if (auto* bar = qobject_cast<QMenuBar*>(child)) {
            for (const QAction* action : bar->actions())
                add(action->text());
        }
    }
    std::vector<std::string> shared;
    for (const auto& [key, texts] : owners) {
        if (texts.size() > 1)
            shared.push_back(QString(key).toStdString() + ": " + texts.join(" / ").toStdString());
    }
    return shared;
}

class MnemonicsTest : public ResultsTest {};

// In English and in each translation's language.
TEST_F(MnemonicsTest, EveryWindow_NoTwoControlsShareAnAltKey) {
    WriteEachStatus(1000, 2000);
    Compare();
    for (const char* locale : {"en_GB", "de_DE"}) {
        SCOPED_TRACE(locale);
        const Translations translations{QLocale(QString::fromLatin1(locale))};
        Open();
        FilterRules rules;
        MainWindow main(settings, store, prompter);
        GeneralSettingsDialog general(settings, store, prompter, pickers);
        FilterListDialog filters(rules, prompter);
        FilterDialog filter({"Include", "x"}, prompter);
        FtpConnectionsDialog connections(store, prompter);
        PreviewWindow preview(ListedSidesOf(comparer), {}, window.get());
        AboutDialog about;
        const std::vector<std::pair<const char*, QWidget*>> windows = {
            {"main", &main},       {"results", window.get()}, {"general settings", &general},
            {"filters", &filters}, {"filter", &filter},       {"ftp connections", &connections},
            {"preview", &preview}, {"about", &about},
        };
        for (const auto& [name, each] : windows)
            EXPECT_EQ(SharedKeys(*each), std::vector<std::string>{}) << name;
    }
}

}  // namespace
}  // namespace ravelmoor::test
