#include "gui/twoway/TwoWayLists.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QToolButton>
#include <algorithm>
#include <optional>
#include <set>

#include "core/engine/Comparison.h"
#include "core/engine/Prompter.h"
#include "core/sync/SyncMethod.h"
#include "core/text/Translated.h"
#include "core/twoway/TwoWaySession.h"
#include "gui/twoway/TwoWayMarkModel.h"
#include "gui/twoway/TwoWayPlanDialog.h"
#include "gui/widgets/FromStd.h"
#include "gui/widgets/IconButton.h"
#include "gui/widgets/OverrideCursor.h"
#include "gui/widgets/VirtualReportView.h"

namespace ravelmoor {
namespace {

// Beside the mark column the lists stand this close.
constexpr int kBesideMarks = 2;

}  // namespace

TwoWayLists::TwoWayLists(Comparison& comparison, Prompter& prompter,
                         const std::vector<uint32_t>& visibleRows,
                         std::array<VirtualReportView*, 2> lists, QLabel& description,
                         std::function<void()> changed, QWidget* window)
    : QObject(window),
      comparison_(comparison),
      prompter_(prompter),
      visibleRows_(visibleRows),
      lists_(lists),
      description_(description),
      changed_(std::move(changed)) {
    conflicts_ = new QToolButton(window);
    conflicts_->setText(tr("Conflicts"));
    conflicts_->setToolTip(tr("View only the files/folders changed on both sides"));
    conflicts_->setCheckable(true);
    conflicts_->hide();
    connect(conflicts_, &QToolButton::clicked, this, [this] { changed_(); });

    markList_ = new VirtualReportView(window);
    markList_->setObjectName(QStringLiteral("markList"));
    model_ = new TwoWayMarkModel(visibleRows_, marks_, this);
    markList_->setModel(model_);
    markList_->setFocusPolicy(Qt::NoFocus);
    markList_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    markList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    markList_->Header()->setSectionResizeMode(QHeaderView::Stretch);
    markList_->Header()->setSectionsClickable(false);
    markList_->setFixedWidth(markList_->fontMetrics().horizontalAdvance(QStringLiteral("⇉⇉")) +
                             2 * markList_->frameWidth() + 8);
    markList_->hide();
    // The column shows the same first row as the lists.
    QScrollBar* listBar = lists_[0]->verticalScrollBar();
    QScrollBar* markBar = markList_->verticalScrollBar();
    connect(listBar, &QScrollBar::valueChanged, markBar, &QScrollBar::setValue);
    connect(markBar, &QScrollBar::valueChanged, listBar, &QScrollBar::setValue);
    connect(listBar, &QScrollBar::rangeChanged, markBar, [markBar, listBar](int low, int high) {
        markBar->setRange(low, high);
        markBar->setValue(listBar->value());
    });

    for (VirtualReportView* list : lists_) {
        connect(list->selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this](const QModelIndex& current) { ShowCurrent(current.row()); });
    }
}

TwoWayLists::~TwoWayLists() = default;

void TwoWayLists::PlaceControls(QHBoxLayout& views, QGridLayout& lists, const QToolButton& toggle) {
    // Drawn as the view toggles beside it are.
    conflicts_->setStyleSheet(toggle.styleSheet());
    // Off a grey icon, on a coloured one, as the toggles show theirs.
    QIcon icon = ProgramIcon("status-conflict");
    const QPixmap grey = icon.pixmap(QSize(16, 16), QIcon::Disabled);
    icon.addPixmap(grey, QIcon::Normal, QIcon::Off);
    icon.addPixmap(grey, QIcon::Active, QIcon::Off);
    conflicts_->setIcon(icon);
    conflicts_->setToolButtonStyle(toggle.toolButtonStyle());
    // Beside the last toggle, before the room the row leaves at its end.
    const int last = views.count() - 1;
    const bool endsInRoom = last >= 0 && views.itemAt(last)->spacerItem() != nullptr;
    views.insertWidget(endsInRoom ? last : views.count(), conflicts_);
    grid_ = &lists;
    apart_ = lists.horizontalSpacing();
    lists.addWidget(markList_, 1, 1);
}

void TwoWayLists::SetActive(bool on) {
    if (on == active_) return;
    active_ = on;
    settled_.clear();
    conflicts_->setChecked(false);
    conflicts_->setVisible(on);
    markList_->setVisible(on);
    if (on) {
        Replan();
    } else {
        plan_ = SyncPlan();
        marks_.Clear();
    }
}

void TwoWayLists::Replan(TwoWaySession* with) {
    if (!active_) return;
    plan_ = SyncPlan();
    marks_.Clear();
    {
        const OverrideCursor wait(Qt::WaitCursor);
        std::optional<TwoWaySession> own;
        if (with == nullptr) own.emplace(comparison_, TwoWayOptions{});
        TwoWaySession& session = with != nullptr ? *with : *own;
        const MemoryOutcome opened = with != nullptr ? MemoryOutcome() : session.Open();
        const TwoWayOutcome planned =
            opened.Ok() ? session.Plan(plan_) : TwoWayOutcome(TwoWayStatus::Refused, opened.reason);
        if (planned.Ok()) {
            // Rows gone, or no longer a conflict, lose their settlement.
            std::map<uint32_t, Settlement> kept;
            for (size_t i = 0; i < plan_.twoWay.conflicts.size(); ++i) {
                const uint32_t row = plan_.twoWay.conflicts[i].row;
                if (const auto found = settled_.find(row); found != settled_.end()) {
                    session.Settle(plan_, i, found->second);
                    kept.insert(*found);
                }
            }
            settled_ = std::move(kept);
        } else {
            plan_ = SyncPlan();
            settled_.clear();
            prompter_.Warn(planned.reason);
        }
    }
    marks_.Index(plan_, comparison_.SourceResults(), comparison_.TargetResults());
}

bool TwoWayLists::Narrow(std::vector<uint32_t>& rows) const {
    if (!active_ || !conflicts_->isChecked()) return false;
    marks_.KeepConflicts(rows);
    return true;
}

void TwoWayLists::Reload() {
    model_->Reload();
    markList_->verticalScrollBar()->setValue(lists_[0]->verticalScrollBar()->value());
    if (grid_ != nullptr) {
        // Close to the column while it shows; apart as before without it.
        grid_->setHorizontalSpacing(active_ ? kBesideMarks : apart_);
    }
}

void TwoWayLists::Settle(const std::vector<uint32_t>& rows, Settlement how) {
    std::set<size_t> done;
    for (const uint32_t row : rows) {
        const std::optional<size_t> conflict = marks_.ConflictOf(row);
        if (!conflict || !done.insert(*conflict).second) continue;
        const uint32_t first = plan_.twoWay.conflicts[*conflict].row;
        if (how == Settlement::Left) {
            settled_.erase(first);
        } else {
            settled_[first] = how;
        }
    }
    if (done.empty()) return;
    // Settled through a session of its own, as the run's will be.
    TwoWaySession session(comparison_, TwoWayOptions{});
    for (const size_t index : done)
        session.Settle(plan_, index, how);
    marks_.Index(plan_, comparison_.SourceResults(), comparison_.TargetResults());
    changed_();
}

void TwoWayLists::CarrySettlements(const TwoWaySession& session, SyncPlan& plan) const {
    for (size_t i = 0; i < plan.twoWay.conflicts.size(); ++i) {
        if (const auto found = settled_.find(plan.twoWay.conflicts[i].row); found != settled_.end())
            session.Settle(plan, i, found->second);
    }
}

void TwoWayLists::AddSettleItems(QMenu& menu, const std::vector<uint32_t>& rows) {
    if (!active_) return;
    bool anyConflict = false;
    for (const uint32_t row : rows)
        anyConflict = anyConflict || marks_.ConflictOf(row).has_value();
    menu.addSeparator();
    const std::pair<QString, Settlement> choices[] = {
        {tr("Keep Source"), Settlement::KeepSource},
        {tr("Keep Target"), Settlement::KeepTarget},
        {tr("Keep Both"), Settlement::KeepBoth},
        {tr("Skip"), Settlement::Left},
    };
    for (const auto& [text, how] : choices) {
        QAction* action = menu.addAction(text);
        action->setEnabled(anyConflict);
        connect(action, &QAction::triggered, this,
                [this, rows, settle = how] { Settle(rows, settle); });
    }
}

QString TwoWayLists::Describe(uint32_t row) const {
    const std::optional<size_t> conflict = marks_.ConflictOf(row);
    if (!conflict) return {};
    return TwoWayPlanDialog::ConflictFacts(plan_.twoWay.conflicts[*conflict]);
}

void TwoWayLists::ShowCurrent(int item) {
    if (!active_) return;
    QString text;
    if (item >= 0 && static_cast<size_t>(item) < visibleRows_.size())
        text = Describe(visibleRows_[static_cast<size_t>(item)]);
    if (text.isEmpty())
        text = FromStd(Translated("SyncMethod", SyncMethodDescription(SyncMethod::TwoWay)));
    description_.setText(text);
    // The facts take more lines than a method's description: the area grows
    // to them rather than cut them off.
    const int needed = description_.fontMetrics()
                           .boundingRect(QRect(0, 0, std::max(description_.width(), 1), 1 << 20),
                                         Qt::TextWordWrap, text)
                           .height();
    if (needed > description_.height()) description_.setFixedHeight(needed);
}

}  // namespace ravelmoor
