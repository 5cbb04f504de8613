#include "gui/results/ResultsShaping.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/engine/FileList.h"
#include "core/results/ResultCells.h"
#include "gui/results/TreeNameDelegate.h"
#include "gui/widgets/FromStd.h"
#include "gui/widgets/IconButton.h"
#include "gui/widgets/VirtualReportView.h"

namespace ravelmoor {

ResultsShaping::ResultsShaping(const FileList& source, const FileList& target,
                               const std::vector<uint32_t>& visibleRows,
                               std::array<VirtualReportView*, 2> lists,
                               std::function<void()> changed, QWidget* window)
    : QObject(window),
      source_(source),
      target_(target),
      visibleRows_(visibleRows),
      lists_(lists),
      changed_(std::move(changed)) {
    treeButton_ = new QToolButton(window);
    treeButton_->setText(tr("&Tree"));
    treeButton_->setIcon(ProgramIcon("folder-open"));
    treeButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    treeButton_->setCheckable(true);
    treeButton_->setToolTip(tr("Show the rows as folders that open and close, or as one list"));
    connect(treeButton_, &QToolButton::toggled, this, [this] { changed_(); });

    filterBox_ = new QLineEdit(window);
    filterBox_->setPlaceholderText(tr("Filter rows"));
    filterBox_->setClearButtonEnabled(true);
    filterBox_->setToolTip(tr("Show only the rows whose path holds this text"));
    connect(filterBox_, &QLineEdit::textChanged, this, [this] { changed_(); });

    folderBar_ = new QWidget(window);
    folderText_ = new QLabel(folderBar_);
    folderText_->setTextFormat(Qt::PlainText);
    auto* all = new QPushButton(tr("Show &All"), folderBar_);
    all->setAutoDefault(false);
    connect(all, &QPushButton::clicked, this, &ResultsShaping::ShowAllFolders);
    auto* bar = new QHBoxLayout(folderBar_);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(folderText_, 1);
    bar->addWidget(all);
    folderBar_->setVisible(false);

    for (VirtualReportView* list : lists_) {
        list->setItemDelegateForColumn(static_cast<int>(ResultColumn::Name),
                                       new TreeNameDelegate(list));
        list->viewport()->installEventFilter(this);
        list->installEventFilter(this);
    }
}

void ResultsShaping::PlaceControls(QHBoxLayout& views, QVBoxLayout& body) {
    views.addWidget(treeButton_);
    views.addStretch();
    // Above the lists, where it takes height rather than width: the one
    // folder shown (when it is), and the filter box at the right.
    auto* above = new QHBoxLayout;
    above->addWidget(folderBar_, 1);
    above->addStretch();
    auto* label = new QLabel(tr("F&ilter:"), filterBox_->parentWidget());
    label->setBuddy(filterBox_);
    above->addWidget(label);
    above->addWidget(filterBox_);
    body.insertLayout(0, above);
}

bool ResultsShaping::TreeMode() const {
    return treeButton_->isChecked();
}

void ResultsShaping::SetTreeMode(bool on) {
    treeButton_->setChecked(on);
}

QString ResultsShaping::FilterText() const {
    return filterBox_->text();
}

void ResultsShaping::SetFilterText(const QString& text) {
    filterBox_->setText(text);
}

void ResultsShaping::EnsureTree() {
    const size_t rows = std::min(source_.GetSize(), target_.GetSize());
    if (treeBuilt_ && tree_.size() == rows) return;
    // Rows came or went: the row numbers held here no longer say the same.
    const bool rebuilt = treeBuilt_;
    tree_.Build(source_, target_);
    treeRows_.Reset(rows);
    treeBuilt_ = true;
    if (rebuilt && narrowing_.folder != RowTree::kNoRow) {
        narrowing_.folder = RowTree::kNoRow;
        folderBar_->setVisible(false);
    }
}

ShownTotals ResultsShaping::Shape(const ShownTotals& viewTotals, std::vector<uint32_t>& rows) {
    narrowing_.text = filterBox_->text().toStdString();
    const bool tree = TreeMode();
    if (tree || narrowing_.folder != RowTree::kNoRow) EnsureTree();
    ShownTotals totals = viewTotals;
    if (narrowing_.Any()) {
        NarrowRows(source_, target_, tree_, narrowing_, rows);
        totals = TotalsOf(source_, target_, rows);
    }
    if (tree) {
        passing_.swap(rows);
        treeRows_.Compute(tree_, passing_, rows);
    }
    return totals;
}

uint32_t ResultsShaping::Depth(uint32_t row) const {
    return treeBuilt_ && row < tree_.size() ? tree_.Depth(row) : 0;
}

bool ResultsShaping::IsFolder(uint32_t row) const {
    return treeBuilt_ && row < tree_.size() && tree_.IsFolder(row);
}

void ResultsShaping::ShowOnlyFolder(uint32_t row) {
    EnsureTree();
    if (row >= tree_.size()) return;
    const uint32_t folder = tree_.IsFolder(row) ? row : tree_.Parent(row);
    if (folder == RowTree::kNoRow) {
        ShowAllFolders();
        return;
    }
    narrowing_.folder = folder;
    const FileEntry& s = source_.ElementAt(folder);
    const std::string path = (s.IsBlank() ? target_.ElementAt(folder) : s).path.str();
    folderText_->setText(tr("Only the folder %1 is shown.").arg(FromStd(path)));
    folderBar_->setVisible(true);
    changed_();
}

void ResultsShaping::ShowAllFolders() {
    narrowing_.folder = RowTree::kNoRow;
    folderBar_->setVisible(false);
    changed_();
}

void ResultsShaping::ToggleFolder(uint32_t row) {
    SetFolderClosed(row, !treeRows_.IsClosed(row));
}

void ResultsShaping::SetFolderClosed(uint32_t row, bool closed) {
    if (!IsFolder(row) || treeRows_.IsClosed(row) == closed) return;
    treeRows_.SetClosed(row, closed);
    changed_();
    // The folder stays the current row of the list the user is in.
    const auto found = std::lower_bound(visibleRows_.begin(), visibleRows_.end(), row);
    if (found == visibleRows_.end() || *found != row) return;
    const auto item = static_cast<int>(found - visibleRows_.begin());
    for (VirtualReportView* list : lists_) {
        if (!list->hasFocus() || list->model() == nullptr) continue;
        list->selectionModel()->setCurrentIndex(
            list->model()->index(item, static_cast<int>(ResultColumn::Name)),
            QItemSelectionModel::NoUpdate);
    }
}

uint32_t ResultsShaping::RowAt(int item) const {
    return item >= 0 && static_cast<size_t>(item) < visibleRows_.size()
               ? visibleRows_[static_cast<size_t>(item)]
               : RowTree::kNoRow;
}

bool ResultsShaping::eventFilter(QObject* watched, QEvent* event) {
    if (!TreeMode()) return false;
    for (VirtualReportView* list : lists_) {
        if (watched == list->viewport()) return OnMouse(*list, event);
        if (watched == list) return OnKey(*list, event);
    }
    return false;
}

bool ResultsShaping::OnMouse(VirtualReportView& list, QEvent* event) {
    const bool press = event->type() == QEvent::MouseButtonPress;
    if (!press && event->type() != QEvent::MouseButtonDblClick) return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton) return false;
    const QPoint at = mouse->position().toPoint();
    const QModelIndex index = list.indexAt(at);
    const uint32_t row = RowAt(index.row());
    if (!index.isValid() || index.column() != static_cast<int>(ResultColumn::Name) ||
        !IsFolder(row)) {
        return false;
    }
    // A press on the mark, or a double click anywhere on the name.
    const int indent = TreeNameDelegate::Indent(list);
    const int markLeft = list.Header()->sectionViewportPosition(index.column()) +
                         static_cast<int>(Depth(row)) * indent;
    if (press && (at.x() < markLeft || at.x() >= markLeft + indent)) return false;
    ToggleFolder(row);
    return true;
}

bool ResultsShaping::OnKey(VirtualReportView& list, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const uint32_t row = RowAt(list.currentIndex().row());
    if (!IsFolder(row)) return false;
    switch (key->key()) {
        case Qt::Key_Right:
        case Qt::Key_Plus:
            SetFolderClosed(row, false);
            return true;
        case Qt::Key_Left:
        case Qt::Key_Minus:
            SetFolderClosed(row, true);
            return true;
        default:
            return false;
    }
}

}  // namespace ravelmoor
