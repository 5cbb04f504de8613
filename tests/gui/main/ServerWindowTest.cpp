#include <QAction>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "core/results/ResultCells.h"
#include "core/settings/Settings.h"
#include "core/settings/SettingsStore.h"
#include "gui/main/MainWindow.h"
#include "gui/results/ResultsListModel.h"
#include "gui/results/ResultsWindow.h"
#include "gui/widgets/HistoryComboBox.h"
#include "gui/widgets/VirtualReportView.h"
#include "support/ScriptedPrompter.h"
#include "support/ServerCommandLine.h"
#include "support/ServerSyncTrees.h"
#include "support/WindowDriver.h"

// The window over a side on an FTP server. It starts a comparison, a
// synchronisation and an undo through the same starts as the command line:
// run against the same trees, the two ask the server the same things in the
// same order and leave it the same. What it does on the server it does off
// its own thread (the tests' main arms that check).
namespace ravelmoor::test {
namespace {

// What the server was asked, one command a line, with what differs between
// two runs that do the same thing made alike: the temporary names of copies
// and of the clock probe, the versions folder's run, the times a folder gets.
// When a connection ends (QUIT) is left out: the window keeps its comparison,
// and the connection the sync opened again, until the next one.
std::vector<std::string> Commands(const std::string& log) {
    static const std::regex kTemporary(R"(\.ravelmoor-[0-9a-f]{16}\.part)");
    static const std::regex kRun(R"(\.ravelmoor-versions/[^/ ]+)");
    static const std::regex kTime(R"(^(MFMT|MDTM) \d{14}(\.\d+)? )");
    std::vector<std::string> commands;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) {
        if (line == "QUIT") continue;
        line = std::regex_replace(line, kTemporary, ".ravelmoor-TEMP.part");
        line = std::regex_replace(line, kRun, ".ravelmoor-versions/RUN");
        commands.push_back(std::regex_replace(line, kTime, "$1 TIME "));
    }
    return commands;
}

// Every object on a side, the versions folder's run made alike.
ServerTreeState State(const TempTree& tree) {
    static const std::regex kRun(R"(^\.ravelmoor-versions/[^/]+)");
    ServerTreeState state;
    for (const auto& [path, object] : ServerSnapshot(tree))
        state[std::regex_replace(path, kRun, ".ravelmoor-versions/RUN")] = object;
    return state;
}

// This process's environment as the command line's runs get it (the store,
// the trash, the journals, the locks), for as long as the object lives.
class SameEnvironment {
  public:
    explicit SameEnvironment(const std::map<std::string, std::string>& environment) {
        for (const auto& [name, value] : environment) {
            const char* old = std::getenv(name.c_str());
            previous_.emplace(name, old ? std::optional<std::string>(old) : std::nullopt);
            ::setenv(name.c_str(), value.c_str(), 1);
        }
    }
    ~SameEnvironment() {
        for (const auto& [name, value] : previous_)
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }
    SameEnvironment(const SameEnvironment&) = delete;
    SameEnvironment& operator=(const SameEnvironment&) = delete;

  private:
    std::map<std::string, std::optional<std::string>> previous_;
};

// One use case, as each front end starts it over a local Source and a
// Target on a fresh FTP server.
struct UseCase {
    const char* name;
    std::vector<std::vector<std::string>> commandLine;  // each run before the two sides
    bool synchronise;
    bool undo;
};

// Presses Yes in the undo's confirmation, a dialog of no class of its own.
void ConfirmUndoWhenAsked() {
    WhenWindowShows(
        [] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QDialog*>(widget);
                if (dialog != nullptr && dialog->isVisible() &&
                    dialog->windowTitle() == "Undo Last Synchronisation")
                    return static_cast<QWidget*>(dialog);
            }
            return static_cast<QWidget*>(nullptr);
        },
        [](QWidget& dialog) { PressButton(dialog, QDialogButtonBox::Yes); });
}

// The window's road: "Compare" in the main window, then "Synchronise" in the
// results window over that comparison, then the main window's undo.
void ThroughTheWindow(CommandLine& side, const UseCase& use) {
    const SameEnvironment same(side.environment);
    SettingsStore store;
    Settings settings;
    settings.LoadAtStartup(store);
    ScriptedPrompter prompter;
    ScriptedPickers pickers;
    MainWindow window(settings, store, prompter);
    window.SetPickers(pickers);
    window.SetResultsHandler([&](MainWindow& main, Comparison& comparison) {
        if (!use.synchronise) return;
        ResultsWindow results(
            {comparison, main.AppSettings(), main.Store(), prompter, pickers, "Ravelmoor"});
        results.show();
        results.ChooseMethod(SyncMethod::Force);
        QTest::mouseClick(results.SynchroniseButton(), Qt::LeftButton);
    });
    window.show();
    Retype(window.SourceBox()->lineEdit(), side.local.Path());
    Retype(window.TargetBox()->lineEdit(), side.side);
    QTest::mouseClick(window.CompareButton(), Qt::LeftButton);
    if (use.undo) {
        ConfirmUndoWhenAsked();
        for (QAction* action : window.findChildren<QAction*>()) {
            if (action->text() == "Undo Last Synchronisation...") action->trigger();
        }
    }
}

TEST(ServerWindow, AsksTheServerWhatTheCommandLineAsks) {
    const std::vector<std::string> force = {"sync", "--method", "force", "--yes"};
    const UseCase cases[] = {
        {"compare", {{"compare"}}, false, false},
        {"sync", {force}, true, false},
        {"undo", {force, {"undo", "--yes"}}, true, true},
    };
    for (const UseCase& use : cases) {
        SCOPED_TRACE(use.name);
        TempTree logs;
        CommandLine cli({"--log", logs.Full("command-line")});
        ASSERT_TRUE(cli.ftp->Running());
        WriteServerSyncSides(cli.local, cli.served);
        for (const std::vector<std::string>& args : use.commandLine) {
            const ProgramResult run =
                args[0] == "undo" ? RunRavelmoor(args, cli.environment) : cli.Run(args);
            EXPECT_LE(run.exitCode, 1) << run.err;
        }

        CommandLine desktop({"--log", logs.Full("window")});
        ASSERT_TRUE(desktop.ftp->Running());
        WriteServerSyncSides(desktop.local, desktop.served);
        ThroughTheWindow(desktop, use);

        const std::vector<std::string> asked = Commands(logs.Full("command-line"));
        const std::vector<std::string> window = Commands(logs.Full("window"));
        EXPECT_FALSE(asked.empty());
        // The first command that differs, with those before it for its place.
        size_t same = 0;
        while (same < asked.size() && same < window.size() && asked[same] == window[same])
            ++same;
        const auto around = [same](const std::vector<std::string>& commands) {
            const size_t from = same < 3 ? 0 : same - 3;
            return std::vector<std::string>(
                commands.begin() + static_cast<ptrdiff_t>(from),
                commands.begin() + static_cast<ptrdiff_t>(std::min(commands.size(), same + 3)));
        };
        EXPECT_EQ(around(window), around(asked)) << "at command " << same;
        EXPECT_EQ(window.size(), asked.size());
        EXPECT_EQ(State(desktop.served), State(cli.served));
        EXPECT_EQ(State(desktop.local), State(cli.local));
    }
}

// "Visualise Differences" on a row whose Target is on the server: the file
// is fetched behind a progress dialog, off the window's thread, and the
// viewer gets the local copy.
TEST(ServerWindow, ViewerGetsTheServersFileFetchedOffTheWindowsThread) {
    CommandLine side(std::vector<std::string>{});
    ASSERT_TRUE(side.ftp->Running());
    WriteServerSyncSides(side.local, side.served);
    const SameEnvironment same(side.environment);
    TempTree viewer;
    const std::string output = viewer.Full("arguments");
    const std::string script = viewer.Full("viewer.sh");
    std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << output << ".part'\nmv '"
                          << output << ".part' '" << output << "'\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);

    SettingsStore store;
    Settings settings;
    settings.LoadAtStartup(store);
    settings.comparisonProgram = script;
    ScriptedPrompter prompter;
    ScriptedPickers pickers;
    MainWindow window(settings, store, prompter);
    window.SetPickers(pickers);
    window.SetResultsHandler([&](MainWindow& main, Comparison& comparison) {
        ResultsWindow results(
            {comparison, main.AppSettings(), main.Store(), prompter, pickers, "Ravelmoor"});
        results.show();
        const ResultsListModel& model = *results.Model(ListSide::Target);
        VirtualReportView* list = results.List(ListSide::Target);
        constexpr int kName = static_cast<int>(ResultColumn::Name);
        for (int item = 0; item < model.rowCount(); ++item) {
            const QModelIndex name = model.index(item, kName);
            if (name.data().toString() != "newer.txt") continue;
            list->setCurrentIndex(name);
            list->selectionModel()->select(
                name, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
        bool picked = false;
        WhenShown<QMenu>([&](QMenu& menu) {
            for (QAction* action : menu.actions()) {
                if (action->text() != "Visualise Differences") continue;
                picked = true;
                menu.setActiveAction(action);
                QTest::keyClick(&menu, Qt::Key_Return);
            }
            if (menu.isVisible()) menu.close();
        });
        const QPoint at = list->viewport()->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list->viewport(), &event);
        EXPECT_TRUE(picked);
    });
    window.show();
    Retype(window.SourceBox()->lineEdit(), side.local.Path());
    Retype(window.TargetBox()->lineEdit(), side.side);
    QTest::mouseClick(window.CompareButton(), Qt::LeftButton);

    ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(output); }, 10000));
    std::ifstream in(output);
    std::string source;
    std::string target;
    std::getline(in, source);
    std::getline(in, target);
    EXPECT_EQ(source, side.local.Full("newer.txt"));
    EXPECT_TRUE(target.ends_with("/newer.txt") && target != side.served.Full("newer.txt"))
        << target;
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{});
}

}  // namespace
}  // namespace ravelmoor::test
