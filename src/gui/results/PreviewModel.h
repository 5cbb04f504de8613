#pragma once

#include <QAbstractListModel>
#include <vector>

#include "core/sync/PlanEdit.h"
#include "core/sync/PreviewLines.h"

namespace ravelmoor {

// The actions of a preview, one line each, as the person edits them: each
// ticked or not, a copy sent one way or the other, a row excluded. The lines
// are made as they are drawn, so a plan of millions of rows opens at once and
// a tick costs the same on any plan.
class PreviewModel : public QAbstractListModel {
    Q_OBJECT

  public:
    PreviewModel(SyncSides sides, std::vector<PlanEntry> entries, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    // The line's plain text, its check state, and its runs (LineOf) for the
    // delegate; an excluded row is struck out.
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    PreviewLine LineOf(int row) const;
    const std::vector<PlanEntry>& Entries() const { return entries_; }
    // The rows of the comparison excluded here, in the order they were.
    const std::vector<uint32_t>& ExcludedRows() const { return excluded_; }
    size_t TickedCount() const { return ticked_; }

    void SetTicked(int row, bool ticked);
    // Sends a copy the other way where the other side holds an object to
    // copy; returns whether it did.
    bool Reverse(int row);
    // Unticks the row for good and keeps its comparison row for the filters.
    void Exclude(int row);
    bool IsExcluded(int row) const;

  signals:
    void TickedCountChanged(size_t ticked);

  private:
    void Changed(int row);

    SyncSides sides_;
    PreviewLines lines_;
    std::vector<PlanEntry> entries_;
    std::vector<bool> excludedEntries_;
    std::vector<uint32_t> excluded_;
    size_t ticked_ = 0;
};

}  // namespace ravelmoor
