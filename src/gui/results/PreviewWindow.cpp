#include "gui/results/PreviewWindow.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/results/PreviewDelegate.h"
#include "gui/results/PreviewModel.h"
#include "gui/results/ResultsListModel.h"
#include "gui/widgets/BackgroundPainter.h"
#include "gui/widgets/IconButton.h"
#include "gui/widgets/ReadableColour.h"
#include "gui/widgets/VirtualReportView.h"

namespace ravelmoor {
namespace {

constexpr int kSmallestWidth = 760;
constexpr int kSmallestHeight = 420;

}  // namespace

PreviewWindow::PreviewWindow(SyncSides sides, std::vector<PlanEntry> entries, QWidget* parent)
    : QDialog(parent) {
    UseBackground(*this);
    setWindowTitle(tr("Preview"));
    setModal(true);
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);

    model_ = new PreviewModel(std::move(sides), std::move(entries), this);
    // A view that keeps nothing per row: a tick costs the same on a plan of
    // any size.
    list_ = new VirtualReportView(this);
    list_->setModel(model_);
    list_->setItemDelegate(new PreviewDelegate(*model_, list_));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->Header()->hide();
    list_->SetGrowingColumn(0);
    auto* hint = new QLabel(
        tr("Untick an action to leave it out. Synchronise then carries out the ticked actions."),
        this);
    hint->setWordWrap(true);
    total_ = new QLabel(this);
    QPalette blue = total_->palette();
    blue.setColor(QPalette::WindowText, ColourOf(PreviewColour::Blue));
    total_->setPalette(blue);
    ShowTotal(model_->TickedCount());
    connect(model_, &PreviewModel::TickedCountChanged, this, &PreviewWindow::ShowTotal);

    tick_ = new QPushButton(tr("&Tick"), this);
    untick_ = new QPushButton(tr("&Untick"), this);
    reverse_ = new QPushButton(tr("&Reverse Direction"), this);
    reverse_->setToolTip(tr("Copy the selected files the other way"));
    exclude_ = new QPushButton(tr("E&xclude"), this);
    exclude_->setToolTip(tr("Leave the selected rows out and add them to the filter's excludes"));
    close_ = MakeIconButton(tr("Close Preview"), "cancel", {}, this);
    close_->setDefault(true);
    connect(close_, &QPushButton::clicked, this, &PreviewWindow::reject);
    connect(tick_, &QPushButton::clicked, this, [this] {
        for (const int row : SelectedRows())
            model_->SetTicked(row, true);
    });
    connect(untick_, &QPushButton::clicked, this, [this] {
        for (const int row : SelectedRows())
            model_->SetTicked(row, false);
    });
    connect(reverse_, &QPushButton::clicked, this, [this] {
        for (const int row : SelectedRows())
            model_->Reverse(row);
    });
    connect(exclude_, &QPushButton::clicked, this, [this] {
        for (const int row : SelectedRows())
            model_->Exclude(row);
    });

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {tick_, untick_, reverse_, exclude_})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(list_, 1);
    layout->addWidget(total_);
    layout->addLayout(buttons);
    // Most of the results window, where the long paths fit better.
    QSize size(kSmallestWidth, kSmallestHeight);
    if (parent != nullptr) size = size.expandedTo(parent->size() * 0.9);
    resize(size);
}

void PreviewWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    list_->FillWithGrowingColumn();
}

const std::vector<PlanEntry>& PreviewWindow::Entries() const {
    return model_->Entries();
}

const std::vector<uint32_t>& PreviewWindow::ExcludedRows() const {
    return model_->ExcludedRows();
}

std::vector<int> PreviewWindow::SelectedRows() const {
    std::vector<int> rows;
    for (const QItemSelectionRange& range : list_->selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void PreviewWindow::ShowTotal(size_t ticked) {
    total_->setText(QString::fromStdString(PreviewLines::Total(ticked).PlainText()));
}

QColor PreviewWindow::ColourOf(PreviewColour colour) {
    switch (colour) {
        case PreviewColour::Green:
            return ResultsListModel::ColourOf(CellColour::Green);
        case PreviewColour::Red:
            return ResultsListModel::ColourOf(CellColour::Red);
        case PreviewColour::Blue:
            return ReadableOn(QColor(Qt::blue), QGuiApplication::palette().color(QPalette::Base));
        case PreviewColour::WindowText:
            break;
    }
    return ResultsListModel::ColourOf(CellColour::WindowText);
}

}  // namespace ravelmoor
