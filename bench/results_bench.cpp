// The results window over a million rows: how long RefreshLists takes, how
// long the window takes to open (built, shown and painted), to switch views
// and to scroll, and how much memory it adds per row. For reference, one
// list's model is also shown in Qt's own QTreeView and QTableView. The rows are made in
// memory (no disk), with every status on both sides, a folder every 20 rows
// and a few excluded entries. The window is drawn off screen unless a
// display platform is chosen.
//
//   results_bench [ROWS]      (default 1000000)
#include <unistd.h>

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/engine/Comparison.h"
#include "core/engine/Prompter.h"
#include "core/local/LocalFileSystem.h"
#include "core/results/RowOrder.h"
#include "core/results/VisibleRows.h"
#include "core/settings/Settings.h"
#include "core/settings/SettingsStore.h"
#include "core/sync/PlanEdit.h"
#include "core/sync/SyncSides.h"
#include "gui/main/DesktopApp.h"
#include "gui/results/PreviewModel.h"
#include "gui/results/PreviewWindow.h"
#include "gui/results/ResultsShaping.h"
#include "gui/results/ResultsWindow.h"
#include "gui/widgets/Pickers.h"
#include "gui/widgets/VirtualReportView.h"

namespace {

using namespace ravelmoor;
using Clock = std::chrono::steady_clock;

class SilentPrompter : public Prompter {
  public:
    void Inform(std::string_view) override {}
    void Warn(std::string_view) override {}
    bool AskOkCancel(std::string_view) override { return false; }
    bool AskYesNo(std::string_view) override { return false; }
};

long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

double Milliseconds(Clock::duration taken) {
    return std::chrono::duration<double, std::milli>(taken).count();
}

// The best of `rounds` runs of `work`, in milliseconds.
double Best(int rounds, const std::function<void()>& work) {
    double best = 1e300;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        work();
        best = std::min(best, Milliseconds(Clock::now() - start));
    }
    return best;
}

// Paired rows as a comparison leaves them: 70% matched, 6% each newer and
// older, 6% only in Source, 6% only in Target, 0.5% excluded.
void MakeRows(Comparison& comparer, size_t rows) {
    FileList& source = comparer.SourceResults();
    FileList& target = comparer.TargetResults();
    std::string folder;
    for (size_t i = 0; i < rows; ++i) {
        FileEntry entry;
        const bool isFolder = i % 20 == 0;
        if (isFolder)
            folder =
                "projects/area" + std::to_string(i / 20000) + "/folder" + std::to_string(i / 20);
        const std::string path =
            isFolder ? folder : folder + "/document-" + std::to_string(i) + ".txt";
        entry.path = path;
        entry.attributes = isFolder ? kFolderAttribute : 0;
        entry.size = isFolder ? 0 : 1000 + i % 50000;
        entry.lastWrite = 1700000000 + static_cast<int64_t>(i % 86400);
        FileEntry other = entry;
        const size_t kind = isFolder ? 0 : (i * 7919) % 1000;
        if (kind < 700) {
            entry.status = other.status = EntryStatus::Matched;
        } else if (kind < 760) {
            entry.status = EntryStatus::Newer;
            other.status = EntryStatus::Older;
        } else if (kind < 820) {
            entry.status = EntryStatus::Older;
            other.status = EntryStatus::Newer;
        } else if (kind < 880) {
            entry.status = EntryStatus::Unmatched;
            other = FileEntry();
            other.status = EntryStatus::Missing;
        } else if (kind < 940) {
            other.status = EntryStatus::Unmatched;
            entry = FileEntry();
            entry.status = EntryStatus::Missing;
        } else {
            entry.status = other.status = EntryStatus::Matched;
            if (kind >= 995) entry.excluded = other.excluded = 1;
        }
        source.Add(entry);
        target.Add(other);
    }
}

// The same kind of rows as folders: "projects", ten areas of 100,000 rows
// each, and in each a folder every 20 rows (each entry keeps its whole path,
// as rows read again after a sync do: the slower case for the filter).
void MakeTreeRows(Comparison& comparer, size_t rows) {
    FileList& source = comparer.SourceResults();
    FileList& target = comparer.TargetResults();
    auto add = [&](const std::string& path, bool isFolder, size_t i) {
        FileEntry entry;
        entry.path = path;
        entry.attributes = isFolder ? kFolderAttribute : 0;
        entry.size = isFolder ? 0 : 1000 + i % 50000;
        entry.lastWrite = 1700000000 + static_cast<int64_t>(i % 86400);
        entry.status = EntryStatus::Matched;
        FileEntry other = entry;
        const size_t kind = isFolder ? 0 : (i * 7919) % 1000;
        if (kind >= 700 && kind < 820) {
            entry.status = EntryStatus::Newer;
            other.status = EntryStatus::Older;
        } else if (kind >= 820 && kind < 880) {
            entry.status = EntryStatus::Unmatched;
            other = FileEntry();
            other.status = EntryStatus::Missing;
        }
        source.Add(entry);
        target.Add(other);
    };
    add("projects", true, 0);
    std::string area;
    std::string folder;
    for (size_t i = 1; i < rows; ++i) {
        if (i % 100000 == 1) {
            area = folder = "projects/area" + std::to_string(i / 100000);
            add(area, true, i);
        } else if (i % 20 == 0) {
            folder = area + "/folder" + std::to_string(i);
            add(folder, true, i);
        } else {
            add(folder + "/document-" + std::to_string(i) + ".txt", false, i);
        }
    }
}

// The middle value of `rounds` runs of `work`, in milliseconds.
double Median(int rounds, const std::function<void()>& work) {
    std::vector<double> taken;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        work();
        taken.push_back(Milliseconds(Clock::now() - start));
    }
    std::sort(taken.begin(), taken.end());
    return taken[taken.size() / 2];
}

// The tree, the filter box and "show only this folder" over `rows` rows.
void MeasureShaping(SilentPrompter& prompter, SettingsStore& store, size_t rows);
// The editable preview over a plan with an action on each of `rows` rows.
void MeasurePreview(SilentPrompter& prompter, size_t rows);

struct Stage {
    SideProvider sides;
    Comparison comparer;
    Settings settings;
    DialogPickers pickers;

    explicit Stage(SilentPrompter& prompter)
        : sides(prompter, std::make_shared<LocalFileSystem>()), comparer(sides) {}
};

void Settle() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const size_t rows = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000;
    QApplication app(argc, argv);
    LoadProgramResources();
    QTemporaryDir home;
    SettingsStore store(home.filePath(QStringLiteral("bench.ini")).toStdString());
    SilentPrompter prompter;

    // A small window first, so that fonts, icons and styles are loaded
    // before anything is measured.
    {
        Stage small(prompter);
        MakeRows(small.comparer, 1000);
        ResultsWindow warm(
            {small.comparer, small.settings, store, prompter, small.pickers, "bench"});
        warm.show();
        Settle();
    }

    Stage stage(prompter);
    MakeRows(stage.comparer, rows);
    std::printf("rows: %zu (lists hold %.1f MB)\n", rows,
                static_cast<double>(stage.comparer.SourceResults().MemoryUsage() +
                                    stage.comparer.TargetResults().MemoryUsage()) /
                    1e6);

    std::vector<uint32_t> visible;
    const FileList& source = stage.comparer.SourceResults();
    const FileList& target = stage.comparer.TargetResults();
    ComputeVisibleRows(source, target, ViewToggles{}, visible);
    const double refreshAll =
        Best(5, [&] { ComputeVisibleRows(source, target, ViewToggles{}, visible); });
    const ViewToggles newerOlder = *TogglesOf(ViewChoice::NewerAndOlder);
    const double refreshSome =
        Best(5, [&] { ComputeVisibleRows(source, target, newerOlder, visible); });
    std::vector<uint32_t>().swap(visible);

    const long before = ResidentBytes();
    std::unique_ptr<ResultsWindow> window;
    const auto openStart = Clock::now();
    window = std::make_unique<ResultsWindow>(
        ResultsContext{stage.comparer, stage.settings, store, prompter, stage.pickers, "bench"});
    window->show();
    Settle();
    const double open = Milliseconds(Clock::now() - openStart);
    const long after = ResidentBytes();

    const double windowRefresh = Best(5, [&] {
        window->RefreshLists();
        Settle();
    });
    int nextView = 0;
    const ViewChoice views[] = {ViewChoice::NewerAndOlder, ViewChoice::All};
    const double switchView = Best(6, [&] {
        window->ChooseView(views[nextView++ % 2]);
        Settle();
    });
    VirtualReportView* list = window->List(ListSide::Source);
    int step = 0;
    const double scroll = Best(10, [&] {
        list->verticalScrollBar()->setValue((++step * 97331) %
                                            list->verticalScrollBar()->maximum());
        Settle();
    });
    const double scrollPage = Best(10, [&] {
        list->verticalScrollBar()->triggerAction(QScrollBar::SliderPageStepAdd);
        Settle();
    });

    // Sorting by a header click: the rows alone, then in the window (sorted
    // and both lists repainted), for every column and both directions.
    std::vector<uint32_t> all;
    ComputeVisibleRows(source, target, ViewToggles{}, all);
    std::printf("Sorting %zu rows:\n", all.size());
    const char* columnNames[] = {"Status", "Name", "Size", "Timestamp"};
    for (int column = 0; column < kResultColumnCount; ++column) {
        for (const bool descending : {false, true}) {
            const RowOrder order{ListSide::Target, static_cast<ResultColumn>(column), descending};
            std::vector<uint32_t> sorted;
            const double alone = Best(5, [&] {
                sorted = all;
                SortRows(source, target, order, sorted);
            });
            std::printf("  SortRows by %-9s %-4s                       %8.1f ms\n",
                        columnNames[column], descending ? "down" : "up", alone);
        }
    }
    int clicks = 0;
    const double click = Best(6, [&] {
        // Up, down, path order, up, ...: each click sorts both lists and repaints them.
        window->SortBy(ListSide::Source,
                       clicks++ % 3 == 2 ? ResultColumn::Size : ResultColumn::Timestamp);
        Settle();
    });
    std::printf("  a header click in the window (sorted, repainted)  %8.1f ms\n", click);
    {
        // Qt's own sorting of the same model, by the shown text.
        QSortFilterProxyModel proxy;
        proxy.setSourceModel(window->Model(ListSide::Source));
        const auto start = Clock::now();
        proxy.sort(static_cast<int>(ResultColumn::Size));
        std::printf("  reference, QSortFilterProxyModel by Size          %8.1f ms\n",
                    Milliseconds(Clock::now() - start));
    }

    std::printf("RefreshLists (visible rows and totals), view All:     %8.1f ms\n", refreshAll);
    std::printf("RefreshLists (visible rows and totals), Newer/Older:  %8.1f ms\n", refreshSome);
    std::printf("RefreshLists in the window, lists repainted:          %8.1f ms\n", windowRefresh);
    std::printf("Opening the window (built, shown, painted):           %8.1f ms\n", open);
    std::printf("Switching views (combo, lists repainted):             %8.1f ms\n", switchView);
    std::printf("Scrolling to a far row (both lists repainted):        %8.1f ms\n", scroll);
    std::printf("Scrolling one page (both lists repainted):            %8.1f ms\n", scrollPage);
    std::printf("Memory the window adds: %.2f MB, %.1f bytes per row\n",
                static_cast<double>(after - before) / 1e6,
                static_cast<double>(after - before) / static_cast<double>(rows));

    // The same model in Qt's item views, which keep a record per row.
    auto reference = [&](const char* name, QAbstractItemView* view) {
        const long start = ResidentBytes();
        const auto shown = Clock::now();
        view->setModel(window->Model(ListSide::Source));
        view->resize(list->size());
        view->show();
        Settle();
        std::printf("Reference, one list in a %-10s  %8.1f ms to show, %.1f bytes per row\n", name,
                    Milliseconds(Clock::now() - shown),
                    static_cast<double>(ResidentBytes() - start) / static_cast<double>(rows));
        delete view;
    };
    auto* tree = new QTreeView;
    tree->setUniformRowHeights(true);
    tree->setRootIsDecorated(false);
    reference("QTreeView:", tree);
    auto* table = new QTableView;
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->hide();
    reference("QTableView:", table);
    window.reset();
    MeasureShaping(prompter, store, rows);
    MeasurePreview(prompter, rows);
    return 0;
}

namespace {

void MeasureShaping(SilentPrompter& prompter, SettingsStore& store, size_t rows) {
    Stage stage(prompter);
    MakeTreeRows(stage.comparer, rows);
    // In path order: the sort of the clicks above would come on top of every
    // change in the flat list (the tree keeps the path order anyway).
    store.WriteString(settings_keys::kSection, placement_keys::kRowOrder, "");
    ResultsWindow window(
        ResultsContext{stage.comparer, stage.settings, store, prompter, stage.pickers, "bench"});
    window.show();
    Settle();
    ResultsShaping& shaping = *window.Shaping();
    std::printf("Tree and filter over %zu rows (medians of 5; each with both lists repainted):\n",
                stage.comparer.SourceResults().GetSize());
    bool on = false;
    // The first switch reads the folders; later ones reuse them.
    const auto first = Clock::now();
    shaping.SetTreeMode(true);
    Settle();
    std::printf("  tree view on, folders read (first time)          %8.1f ms\n",
                Milliseconds(Clock::now() - first));
    const double toggle = Median(5, [&] {
        shaping.SetTreeMode(on);
        on = !on;
        Settle();
    });
    std::printf("  tree view on or off again                        %8.1f ms\n", toggle);
    shaping.SetTreeMode(true);
    Settle();
    // area1: 100,000 rows below it.
    uint32_t area = 0;
    for (uint32_t row = 0; row < stage.comparer.SourceResults().GetSize(); ++row) {
        if (stage.comparer.SourceResults().ElementAt(row).path == "projects/area1") area = row;
    }
    std::printf("  (the folder holds %u rows)\n", shaping.BelowCount(area));
    bool closed = false;
    const double fold = Median(6, [&] {
        closed = !closed;
        shaping.SetFolderClosed(area, closed);
        Settle();
    });
    std::printf("  closing or opening that folder                   %8.1f ms\n", fold);
    for (const bool tree : {false, true}) {
        shaping.SetTreeMode(tree);
        const std::string typed = "ument-4242";
        std::vector<double> keys;
        for (size_t length = 1; length <= typed.size(); ++length) {
            const auto start = Clock::now();
            shaping.SetFilterText(QString::fromStdString(typed.substr(0, length)));
            Settle();
            keys.push_back(Milliseconds(Clock::now() - start));
        }
        std::sort(keys.begin(), keys.end());
        std::printf(
            "  typing \"%s\" in the filter (%s): median %.1f ms, slowest %.1f ms "
            "per key\n",
            typed.c_str(), tree ? "tree" : "list", keys[keys.size() / 2], keys.back());
        shaping.SetFilterText({});
        Settle();
    }
    const double only = Median(5, [&] {
        shaping.ShowOnlyFolder(area);
        Settle();
        shaping.ShowAllFolders();
        Settle();
    });
    std::printf("  show only that folder, then all again            %8.1f ms\n", only);
}

void MeasurePreview(SilentPrompter& prompter, size_t rows) {
    Stage stage(prompter);
    MakeRows(stage.comparer, rows);
    // An action on every row, the most a plan can hold: a copy where Source
    // has an object, a deletion where only Target has one.
    SyncPlan plan;
    const FileList& source = stage.comparer.SourceResults();
    for (uint32_t row = 0; row < source.GetSize(); ++row) {
        (source.ElementAt(row).IsBlank() ? plan.deleteInTarget : plan.copyToTarget).push_back(row);
    }
    const auto openStart = Clock::now();
    PreviewWindow preview(ListedSidesOf(stage.comparer), EntriesOf(plan));
    preview.show();
    Settle();
    const double open = Milliseconds(Clock::now() - openStart);
    PreviewModel& model = *preview.Model();
    std::printf("Editable preview of %zu actions (medians of 9; list repainted):\n",
                static_cast<size_t>(model.rowCount()));
    std::printf("  opening it (built, shown, painted)               %8.1f ms\n", open);
    int row = 0;
    const double tick = Median(9, [&] {
        const QModelIndex at = model.index(row);
        const bool ticked = model.data(at, Qt::CheckStateRole).toInt() == Qt::Checked;
        model.setData(at, ticked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
        // Every shown line drawn again, not only the ticked one: the most a
        // tick can cost on the screen.
        preview.List()->viewport()->repaint();
        Settle();
        row = (row + 1) % 20;
    });
    std::printf("  ticking or unticking an action (list repainted)  %8.1f ms\n", tick);
    const double reverse = Median(9, [&] {
        model.Reverse(row++ % 20);
        preview.List()->viewport()->repaint();
        Settle();
    });
    std::printf("  reversing a copy                                 %8.1f ms\n", reverse);
    const double edited = Median(5, [&] { (void)PlanOf(model.Entries()); });
    std::printf("  the edited plan made for Synchronise             %8.1f ms\n", edited);
}

}  // namespace
