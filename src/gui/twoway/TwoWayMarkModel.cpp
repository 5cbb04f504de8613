#include "gui/twoway/TwoWayMarkModel.h"

#include <QGuiApplication>
#include <QPalette>

#include "core/results/ResultCells.h"
#include "core/text/Translated.h"
#include "gui/widgets/FromStd.h"
#include "gui/widgets/ReadableColour.h"

namespace ravelmoor {

TwoWayMarkModel::TwoWayMarkModel(const std::vector<uint32_t>& visibleRows, const TwoWayMarks& marks,
                                 QObject* parent)
    : QAbstractTableModel(parent),
      visibleRows_(visibleRows),
      marks_(marks),
      count_(static_cast<int>(visibleRows.size())) {}

int TwoWayMarkModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count_;
}

int TwoWayMarkModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1;
}

QVariant TwoWayMarkModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count_ ||
        static_cast<size_t>(index.row()) >= visibleRows_.size()) {
        return {};
    }
    const TwoWayMark mark = marks_.Of(visibleRows_[static_cast<size_t>(index.row())]);
    switch (role) {
        case Qt::DisplayRole:
            return FromStd(std::string(TwoWayMarks::Sign(mark)));
        case Qt::ToolTipRole:
            if (mark == TwoWayMark::None) return {};
            return FromStd(Translated("TwoWayMarks", TwoWayMarks::Meaning(mark)));
        case Qt::TextAlignmentRole:
            return int(Qt::AlignCenter);
        case Qt::ForegroundRole:
            // A conflict left as it is stands out; the rest read as text.
            if (mark == TwoWayMark::Conflict) {
                return ReadableOn(QColor::fromRgb(kOverwrittenRgb),
                                  QGuiApplication::palette().color(QPalette::Base));
            }
            return QGuiApplication::palette().color(QPalette::WindowText);
        default:
            return {};
    }
}

QVariant TwoWayMarkModel::headerData(int /*section*/, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::ToolTipRole)
        return tr("What the synchronisation does with the row");
    return {};
}

Qt::ItemFlags TwoWayMarkModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

void TwoWayMarkModel::Reload() {
    beginResetModel();
    count_ = static_cast<int>(visibleRows_.size());
    endResetModel();
}

}  // namespace ravelmoor
