#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <array>
#include <cstdint>
#include <vector>

#include "core/results/ResultCells.h"
#include "core/sync/PlanSync.h"

namespace ravelmoor {

class FileList;
class ResultsShaping;

// The status icons, loaded once and shared by both lists.
class StatusIcons {
  public:
    StatusIcons();
    const QIcon& Of(StatusIcon icon) const { return icons_[static_cast<size_t>(icon)]; }

  private:
    std::array<QIcon, kStatusIconCount> icons_;
};

// One list of the results window: item k shows this side's entry of row
// visibleRows[k] of the paired lists. Nothing is copied per row; the texts,
// icon and colour of a cell are made when the view draws it. A Missing entry
// shows an empty line, and a Missing or excluded entry cannot be selected.
class ResultsListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    // The StatusIcon of the status column, as a number, beside the icon.
    static constexpr int kStatusIconRole = Qt::UserRole;

    ResultsListModel(ListSide side, const FileList& source, const FileList& target,
                     const std::vector<uint32_t>& visibleRows, const SyncMethod& method,
                     const StatusIcons& icons, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The visible rows, the rows themselves or the method have changed.
    void Reload();
    // Names drawn as a tree while `shaping` is in its tree mode.
    void SetShaping(const ResultsShaping* shaping) { shaping_ = shaping; }

    // The colour of a cell of colour `colour`.
    static QColor ColourOf(CellColour colour);

  private:
    // The Name cell of `row` in the tree: the last name, and for a folder
    // the count of rows it holds.
    QString TreeName(uint32_t row, const FileEntry& entry) const;
    // The row's two entries, or false when `item` is out of date.
    bool Entries(int item, const FileEntry*& source, const FileEntry*& target) const;

    ListSide side_;
    const FileList& source_;
    const FileList& target_;
    const std::vector<uint32_t>& visibleRows_;
    const SyncMethod& method_;
    const StatusIcons& icons_;
    const ResultsShaping* shaping_ = nullptr;
    int count_ = 0;
};

}  // namespace ravelmoor
