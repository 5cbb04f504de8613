#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <vector>

#include "core/results/TwoWayMarks.h"

namespace ravelmoor {

// The narrow column between the results lists under the two-way method:
// item k shows the mark of row visibleRows[k] (its sign, its meaning as the
// tooltip). Nothing in it can be selected: the lists beside it are.
class TwoWayMarkModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    TwoWayMarkModel(const std::vector<uint32_t>& visibleRows, const TwoWayMarks& marks,
                    QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The visible rows or the marks have changed.
    void Reload();

  private:
    const std::vector<uint32_t>& visibleRows_;
    const TwoWayMarks& marks_;
    int count_ = 0;
};

}  // namespace ravelmoor
