#include "gui/results/ResultsListModel.h"

#include <QGuiApplication>
#include <QPalette>

#include "core/engine/FileList.h"
#include "core/engine/NameEscape.h"
#include "core/results/SelectionRules.h"
#include "core/text/Formatting.h"
#include "gui/results/ResultsShaping.h"
#include "gui/results/TreeNameDelegate.h"
#include "gui/widgets/FromStd.h"
#include "gui/widgets/IconButton.h"
#include "gui/widgets/ReadableColour.h"

namespace ravelmoor {

StatusIcons::StatusIcons() {
    for (int i = 0; i < kStatusIconCount; ++i)
        icons_[static_cast<size_t>(i)] = ProgramIcon(StatusIconName(static_cast<StatusIcon>(i)));
}

ResultsListModel::ResultsListModel(ListSide side, const FileList& source, const FileList& target,
                                   const std::vector<uint32_t>& visibleRows,
                                   const SyncMethod& method, const StatusIcons& icons,
                                   QObject* parent)
    : QAbstractTableModel(parent),
      side_(side),
      source_(source),
      target_(target),
      visibleRows_(visibleRows),
      method_(method),
      icons_(icons),
      count_(static_cast<int>(visibleRows.size())) {}

int ResultsListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count_;
}

int ResultsListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kResultColumnCount;
}

bool ResultsListModel::Entries(int item, const FileEntry*& source, const FileEntry*& target) const {
    if (item < 0 || item >= count_ || static_cast<size_t>(item) >= visibleRows_.size())
        return false;
    const uint32_t row = visibleRows_[static_cast<size_t>(item)];
    // Rows may have gone while a batch is still under way.
    if (row >= source_.GetSize() || row >= target_.GetSize()) return false;
    source = &source_.ElementAt(row);
    target = &target_.ElementAt(row);
    return true;
}

QColor ResultsListModel::ColourOf(CellColour colour) {
    const QPalette palette = QGuiApplication::palette();
    switch (colour) {
        case CellColour::Green:
            return ReadableOn(QColor::fromRgb(kCopiedFromRgb), palette.color(QPalette::Base));
        case CellColour::Red:
            return ReadableOn(QColor::fromRgb(kOverwrittenRgb), palette.color(QPalette::Base));
        case CellColour::WindowText:
            break;
    }
    return palette.color(QPalette::WindowText);
}

QVariant ResultsListModel::data(const QModelIndex& index, int role) const {
    const FileEntry* source = nullptr;
    const FileEntry* target = nullptr;
    if (!index.isValid() || !Entries(index.row(), source, target)) return {};
    const FileEntry& entry = SideEntry(side_, *source, *target);
    if (entry.status == EntryStatus::Missing) return {};
    const auto column = static_cast<ResultColumn>(index.column());
    const bool tree = shaping_ != nullptr && shaping_->TreeMode() && column == ResultColumn::Name;
    const uint32_t row = visibleRows_[static_cast<size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            if (tree) return TreeName(row, entry);
            if (column == ResultColumn::Name) return FromStd(entry.path.str());
            if (column == ResultColumn::Status || entry.IsFolder()) return {};
            return FromStd(column == ResultColumn::Size ? FormatSize(entry.size)
                                                        : FormatTimestamp(entry.lastWrite));
        case Qt::ToolTipRole:
            // A name that is not UTF-8 shows U+FFFD for its odd bytes; the
            // tooltip spells them out.
            if (column != ResultColumn::Name) return {};
            if (const std::string path = entry.path.str(); !IsValidUtf8(path))
                return FromStd(EscapeName(path));
            return {};
        case Qt::DecorationRole:
            if (column == ResultColumn::Status) return icons_.Of(IconOf(entry));
            return {};
        case Qt::ForegroundRole:
            if (column == ResultColumn::Status) return {};
            return ColourOf(ravelmoor::ColourOf(side_, *source, *target, method_));
        case TreeNameDelegate::kDepthRole:
            if (tree) return static_cast<int>(shaping_->Depth(row));
            return {};
        case TreeNameDelegate::kBranchRole:
            if (!tree || !shaping_->IsFolder(row)) return 0;
            return shaping_->IsClosed(row) ? 1 : 2;
        case kStatusIconRole:
            if (column == ResultColumn::Status) return static_cast<int>(IconOf(entry));
            return {};
        case Qt::TextAlignmentRole:
            if (column == ResultColumn::Size) return int(Qt::AlignRight | Qt::AlignVCenter);
            if (column == ResultColumn::Timestamp) return int(Qt::AlignHCenter | Qt::AlignVCenter);
            return {};
        default:
            return {};
    }
}

QString ResultsListModel::TreeName(uint32_t row, const FileEntry& entry) const {
    const QString name = FromStd(std::string(entry.path.Name()));
    if (!shaping_->IsFolder(row)) return name;
    // What the folder holds of the rows shown, at any depth.
    return tr("%1 (%2)").arg(name, FromStd(FormatSize(shaping_->BelowCount(row))));
}

QVariant ResultsListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    const auto column = static_cast<ResultColumn>(section);
    if (role == Qt::DisplayRole) {
        switch (column) {
            case ResultColumn::Status:
                return tr("Status");
            case ResultColumn::Name:
                return tr("Name");
            case ResultColumn::Size:
                return tr("Size");
            case ResultColumn::Timestamp:
                return tr("Timestamp");
        }
    }
    if (role == Qt::TextAlignmentRole) {
        if (column == ResultColumn::Size) return int(Qt::AlignRight | Qt::AlignVCenter);
        if (column == ResultColumn::Timestamp) return int(Qt::AlignHCenter | Qt::AlignVCenter);
    }
    return {};
}

Qt::ItemFlags ResultsListModel::flags(const QModelIndex& index) const {
    const FileEntry* source = nullptr;
    const FileEntry* target = nullptr;
    if (!index.isValid() || !Entries(index.row(), source, target)) return Qt::NoItemFlags;
    if (!Selectable(SideEntry(side_, *source, *target))) return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void ResultsListModel::Reload() {
    beginResetModel();
    count_ = static_cast<int>(visibleRows_.size());
    endResetModel();
}

}  // namespace ravelmoor
