#include "gui/results/PreviewModel.h"

#include <QFont>
#include <algorithm>

namespace ravelmoor {

PreviewModel::PreviewModel(SyncSides sides, std::vector<PlanEntry> entries, QObject* parent)
    : QAbstractListModel(parent),
      sides_(sides),
      lines_(std::move(sides)),
      entries_(std::move(entries)),
      excludedEntries_(entries_.size(), false) {
    ticked_ = static_cast<size_t>(std::count_if(entries_.begin(), entries_.end(),
                                                [](const PlanEntry& e) { return e.ticked; }));
}

int PreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

PreviewLine PreviewModel::LineOf(int row) const {
    const PlanEntry& entry = entries_[static_cast<size_t>(row)];
    return lines_.Of(entry.row, entry.step);
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const auto row = static_cast<size_t>(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(LineOf(index.row()).PlainText());
        case Qt::CheckStateRole:
            return entries_[row].ticked ? Qt::Checked : Qt::Unchecked;
        case Qt::FontRole:
            if (excludedEntries_[row]) {
                QFont font;
                font.setStrikeOut(true);
                return font;
            }
            break;
        default:
            break;
    }
    return {};
}

bool PreviewModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole || IsExcluded(index.row())) return false;
    SetTicked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags PreviewModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!IsExcluded(index.row())) flags |= Qt::ItemIsUserCheckable;
    return flags;
}

void PreviewModel::SetTicked(int row, bool ticked) {
    PlanEntry& entry = entries_[static_cast<size_t>(row)];
    if (entry.ticked == ticked || IsExcluded(row)) return;
    entry.ticked = ticked;
    ticked ? ++ticked_ : --ticked_;
    Changed(row);
    emit TickedCountChanged(ticked_);
}

bool PreviewModel::Reverse(int row) {
    PlanEntry& entry = entries_[static_cast<size_t>(row)];
    const PlanStep reversed = Reversed(entry.step);
    if (reversed == entry.step || IsExcluded(row) ||
        !Possible(reversed, *sides_.source.list, *sides_.target.list, entry.row)) {
        return false;
    }
    entry.step = reversed;
    Changed(row);
    return true;
}

void PreviewModel::Exclude(int row) {
    if (IsExcluded(row)) return;
    SetTicked(row, false);
    excludedEntries_[static_cast<size_t>(row)] = true;
    excluded_.push_back(entries_[static_cast<size_t>(row)].row);
    Changed(row);
}

bool PreviewModel::IsExcluded(int row) const {
    return excludedEntries_[static_cast<size_t>(row)];
}

void PreviewModel::Changed(int row) {
    const QModelIndex at = index(row);
    emit dataChanged(at, at);
}

}  // namespace ravelmoor
