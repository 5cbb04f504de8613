#pragma once

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <string>

#include "core/settings/Settings.h"
#include "core/settings/SettingsStore.h"
#include "gui/main/MainWindow.h"
#include "gui/widgets/HistoryComboBox.h"
#include "support/ScriptedPrompter.h"
#include "support/TempConfigHome.h"
#include "support/TempTree.h"
#include "support/WindowDriver.h"

namespace ravelmoor::test {

// A main window over a fresh per-user store, with a recording prompter,
// scripted pickers and a results display that only counts.
class MainWindowFixture : public ::testing::Test {
  protected:
    void SetUp() override { Open(); }

    // Starts the program again: settings read from the store, a new window.
    void Open(Prompter* windowPrompter = nullptr) {
        window.reset();
        settings = Settings();
        settings.LoadAtStartup(store);
        window = std::make_unique<MainWindow>(settings, store,
                                              windowPrompter ? *windowPrompter : prompter);
        window->SetPickers(pickers);
        window->SetResultsHandler([this](MainWindow&, Comparison&) { ++resultsShown; });
        window->show();
    }

    static void Type(HistoryComboBox* box, const std::string& text) {
        Retype(box->lineEdit(), text);
    }

    // Types both folders and presses "Compare"; returns once the launch is over.
    void Compare(const std::string& source, const std::string& target) {
        Type(window->SourceBox(), source);
        Type(window->TargetBox(), target);
        QTest::mouseClick(window->CompareButton(), Qt::LeftButton);
    }

    static std::vector<std::string> Items(const HistoryComboBox* box) {
        std::vector<std::string> items;
        for (int i = 0; i < box->count(); ++i)
            items.push_back(box->itemText(i).toStdString());
        return items;
    }

    TempConfigHome home;
    TempTree tree;
    SettingsStore store;
    Settings settings;
    ScriptedPrompter prompter;
    ScriptedPickers pickers;
    std::unique_ptr<MainWindow> window;
    int resultsShown = 0;
};

}  // namespace ravelmoor::test
