#pragma once

#include <gtest/gtest.h>

#include <QColor>
#include <QPoint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/settings/Settings.h"
#include "core/settings/SettingsStore.h"
#include "gui/results/ResultsWindow.h"
#include "support/ComparisonHarness.h"
#include "support/SyncFixture.h"
#include "support/TempConfigHome.h"
#include "support/WindowDriver.h"

class QMenu;

namespace ravelmoor::test {

// "green", "red", "blue" or "text" for the colours the windows draw in; "?" otherwise.
std::string ColourName(const QColor& colour);

// A Source and a Target tree compared in this process, and the results
// window over them, with a fresh per-user store, a recording prompter and
// scripted pickers. Every model is watched by QAbstractItemModelTester.
class ResultsTest : public SyncTest {
  protected:
    void TearDown() override { window.reset(); }

    // same.txt matched, new.txt newer and old.txt older in Source, one file
    // only on each side, and skip.bak (newer in Target) for a filter to exclude.
    void WriteEachStatus(int64_t older, int64_t newer);
    // Opens a new results window over the comparison.
    ResultsWindow& Open();

    // Item k of a list: "ICON NAME|SIZE|TIME|COLOUR" with ICON the StatusIcon
    // number and COLOUR "text", "green" or "red"; "-" for an empty line.
    std::vector<std::string> Lines(ListSide side) const;
    // The item showing the row whose path below its root is `path`.
    int ItemOf(const std::string& path);
    // Clicks items as a user does: the first plainly, the rest with Ctrl.
    void Click(ListSide side, const std::vector<int>& items);
    std::vector<int> Selected(ListSide side) const;
    // Opens the context menu of a list and runs `action` on it.
    void WithContextMenu(ListSide side, const std::function<void(QMenu&)>& action);
    // Picks the menu item with `text` as a user does (the menu then closes).
    static void Pick(QMenu& menu, const QString& text);

    TempConfigHome home;
    SettingsStore store;
    Settings settings;
    ScriptedPickers pickers;
    std::unique_ptr<ResultsWindow> window;
};

}  // namespace ravelmoor::test
