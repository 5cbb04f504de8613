#pragma once

#include <QDialog>

#include "core/sync/PlanSync.h"

class QLabel;
class QPushButton;
class QToolButton;
class QTreeWidget;

namespace ravelmoor {

class Comparison;
class TwoWaySession;

// What a two-way synchronisation will do, before it does it: one line per
// action with a narrow mark column (→ copied to Target, ← copied to Source,
// ✕ deleted, ↷ renamed, ⚠ a conflict left as it is), a "Conflicts" toggle
// that shows only the conflicts, a conflict's facts (last synchronisation,
// Source, Target) in the description area, and a context menu that settles
// the selected conflicts. "Synchronise" accepts the plan as it then stands.
class TwoWayPlanDialog : public QDialog {
    Q_OBJECT

  public:
    // `plan` is the session's plan over the rows of `comparison`; settling
    // changes it in place.
    TwoWayPlanDialog(const Comparison& comparison, const TwoWaySession& session, SyncPlan& plan,
                     QWidget* parent = nullptr);

    // Settles the conflicts among the selected lines (Left: skip them).
    void SettleSelection(Settlement how);
    // Shows the lines again (all, or only the conflicts with the toggle on).
    void Refill();

    // A conflict's facts, one a line: why it is one, the last
    // synchronisation's (when the pair has one), Source's and Target's.
    static QString ConflictFacts(const TwoWayConflict& conflict);

    QTreeWidget* List() const { return list_; }
    QToolButton* ConflictsToggle() const { return conflicts_; }
    QLabel* Description() const { return description_; }
    QPushButton* SynchroniseButton() const { return synchronise_; }

  private:
    void ShowDescription();
    void ShowMenu(const QPoint& at);
    QString RowPath(uint32_t row) const;

    const Comparison& comparison_;
    const TwoWaySession& session_;
    SyncPlan& plan_;
    QTreeWidget* list_ = nullptr;
    QToolButton* conflicts_ = nullptr;
    QLabel* description_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* synchronise_ = nullptr;
};

}  // namespace ravelmoor
