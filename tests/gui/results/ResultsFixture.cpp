#include "gui/results/ResultsFixture.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <filesystem>

#include "gui/widgets/VirtualReportView.h"

namespace ravelmoor::test {
std::string ColourName(const QColor& colour) {
    if (colour == QColor(0, 123, 0)) return "green";
    if (colour == QColor(255, 0, 0)) return "red";
    if (colour == QColor(0, 0, 255)) return "blue";
    return colour == QApplication::palette().color(QPalette::WindowText) ? "text" : "?";
}

void ResultsTest::WriteEachStatus(int64_t older, int64_t newer) {
    source.Write("same.txt", "same", older);
    target.Write("same.txt", "same", older);
    source.Write("new.txt", "v2", newer);
    target.Write("new.txt", "v1", older);
    source.Write("old.txt", "v1", older);
    target.Write("old.txt", "v2", newer);
    source.Write("only-source.txt", "s", older);
    target.Write("only-target.txt", "tt", older);
    source.Write("skip.bak", "a", older);
    target.Write("skip.bak", "bb", newer);
}

ResultsWindow& ResultsTest::Open() {
    window.reset();
    window = std::make_unique<ResultsWindow>(
        ResultsContext{comparer, settings, store, prompter, pickers, "Ravelmoor"});
    for (const ListSide side : {ListSide::Source, ListSide::Target}) {
        new QAbstractItemModelTester(window->Model(side),
                                     QAbstractItemModelTester::FailureReportingMode::Fatal,
                                     window.get());
    }
    window->show();
    QApplication::processEvents();
    return *window;
}

std::vector<std::string> ResultsTest::Lines(ListSide side) const {
    const ResultsListModel& model = *window->Model(side);
    std::vector<std::string> lines;
    for (int item = 0; item < model.rowCount(); ++item) {
        const QVariant icon = model.index(item, 0).data(ResultsListModel::kStatusIconRole);
        if (!icon.isValid()) {
            lines.emplace_back("-");
            continue;
        }
        std::string line = std::to_string(icon.toInt());
        for (int column = 1; column < 4; ++column) {
            line += column == 1 ? " " : "|";
            line += model.index(item, column).data().toString().toStdString();
        }
        line += "|" + ColourName(model.index(item, 1).data(Qt::ForegroundRole).value<QColor>());
        lines.push_back(line);
    }
    return lines;
}

int ResultsTest::ItemOf(const std::string& path) {
    const std::vector<uint32_t>& rows = window->VisibleRows();
    const uint32_t row = RowOf(path);
    const auto found = std::find(rows.begin(), rows.end(), row);
    return found == rows.end() ? -1 : static_cast<int>(found - rows.begin());
}

void ResultsTest::Click(ListSide side, const std::vector<int>& items) {
    VirtualReportView* list = window->List(side);
    for (size_t i = 0; i < items.size(); ++i) {
        const QModelIndex index = window->Model(side)->index(items[i], 1);
        list->scrollTo(index);
        QTest::mouseClick(list->viewport(), Qt::LeftButton,
                          i == 0 ? Qt::NoModifier : Qt::ControlModifier,
                          list->visualRect(index).center());
    }
}

std::vector<int> ResultsTest::Selected(ListSide side) const {
    std::vector<int> items;
    for (const QModelIndex& index : window->List(side)->selectionModel()->selectedRows())
        items.push_back(index.row());
    std::sort(items.begin(), items.end());
    return items;
}

void ResultsTest::WithContextMenu(ListSide side, const std::function<void(QMenu&)>& action) {
    bool shown = false;
    WhenShown<QMenu>([&](QMenu& menu) {
        shown = true;
        action(menu);
        if (menu.isVisible()) menu.close();
    });
    VirtualReportView* list = window->List(side);
    const QPoint at = list->viewport()->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &event);
    EXPECT_TRUE(shown);
}

void ResultsTest::Pick(QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() != text) continue;
        menu.setActiveAction(action);
        QTest::keyClick(&menu, Qt::Key_Return);
        return;
    }
    ADD_FAILURE() << "no menu item " << text.toStdString();
}

}  // namespace ravelmoor::test
