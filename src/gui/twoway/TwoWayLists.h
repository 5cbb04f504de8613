#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "core/results/TwoWayMarks.h"
#include "core/sync/PlanSync.h"

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QMenu;
class QToolButton;
class QWidget;

namespace ravelmoor {

class Comparison;
class Prompter;
class TwoWayMarkModel;
class TwoWaySession;
class VirtualReportView;

// The results lists under the two-way method: a narrow column between them
// that marks what the method will do with each row (→, ←, ✕, ↷, a conflict
// mark), a "Conflicts" toggle that shows only the conflicts, a conflict's
// facts (last synchronisation, Source, Target) in the description area when
// its row is current, and the settling of conflicts from the context menu.
// It owns those controls (the window places them) and the plan they show;
// the pair's memory is opened only while it plans, so that nothing else is
// kept off the pair while the window is open. `changed` refreshes the lists.
class TwoWayLists : public QObject {
    Q_OBJECT

  public:
    TwoWayLists(Comparison& comparison, Prompter& prompter,
                const std::vector<uint32_t>& visibleRows, std::array<VirtualReportView*, 2> lists,
                QLabel& description, std::function<void()> changed, QWidget* window);
    ~TwoWayLists() override;

    // Puts the "Conflicts" toggle after the last control of `views`, drawn as `toggle`
    // (a view toggle), and the mark column in column 1 of `lists` (the lists
    // stand in columns 0 and 2).
    void PlaceControls(QHBoxLayout& views, QGridLayout& lists, const QToolButton& toggle);
    QToolButton* ConflictsToggle() const { return conflicts_; }
    VirtualReportView* MarkList() const { return markList_; }

    // The window's method became two-way (`on`: its rows are planned, a
    // problem said) or another one (the column and toggle go).
    void SetActive(bool on);
    bool Active() const { return active_; }
    // The rows changed (a synchronisation, a copy, a deletion, an undo):
    // planned again while active, with `session` when one holds the pair's
    // memory already (else one of its own). Settlements of rows that are no
    // longer conflicts are dropped.
    void Replan(TwoWaySession* session = nullptr);

    // With "Conflicts" on, keeps only the conflict rows of `rows`; false
    // (the rows as they were) otherwise.
    bool Narrow(std::vector<uint32_t>& rows) const;
    // The lists were refilled: the column follows them.
    void Reload();

    const TwoWayMarks& Marks() const { return marks_; }
    const SyncPlan& Plan() const { return plan_; }
    // Adds "Keep Source", "Keep Target", "Keep Both" and "Skip" to `menu`,
    // for the conflicts among `rows` (enabled only when there is one).
    void AddSettleItems(QMenu& menu, const std::vector<uint32_t>& rows);
    // Settles the conflicts among `rows` (Left: takes a settlement back).
    void Settle(const std::vector<uint32_t>& rows, Settlement how);
    // Gives the conflicts of `plan`, just made by `session` over the same
    // rows, the settlements made here.
    void CarrySettlements(const TwoWaySession& session, SyncPlan& plan) const;
    // The text the description area shows for `row`: its conflict's facts,
    // or empty when it is not a conflict.
    QString Describe(uint32_t row) const;

  private:
    void ShowCurrent(int item);
    void Apply();

    Comparison& comparison_;
    Prompter& prompter_;
    const std::vector<uint32_t>& visibleRows_;
    std::array<VirtualReportView*, 2> lists_;
    QLabel& description_;
    std::function<void()> changed_;
    bool active_ = false;
    SyncPlan plan_;
    TwoWayMarks marks_;
    // The settlements made here, by the conflict's row.
    std::map<uint32_t, Settlement> settled_;
    QToolButton* conflicts_ = nullptr;
    VirtualReportView* markList_ = nullptr;
    TwoWayMarkModel* model_ = nullptr;
    QGridLayout* grid_ = nullptr;
    int apart_ = 0;  // the lists' spacing without the column
};

}  // namespace ravelmoor
