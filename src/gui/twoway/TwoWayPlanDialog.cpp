#include "gui/twoway/TwoWayPlanDialog.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <unordered_set>

#include "core/engine/Comparison.h"
#include "core/twoway/TwoWaySession.h"
#include "gui/widgets/FromStd.h"

namespace ravelmoor {
namespace {

enum Column { kMark = 0, kSource, kTarget };
// A line's conflict (its index in the plan), or -1.
constexpr int kConflictRole = Qt::UserRole;

bool Present(const FileEntry& entry) {
    return !entry.IsBlank() && entry.status != EntryStatus::Missing;
}

QString SettledMark(Settlement settled) {
    switch (settled) {
        case Settlement::KeepSource:
            return QStringLiteral("→");
        case Settlement::KeepTarget:
            return QStringLiteral("←");
        case Settlement::KeepBoth:
            return QStringLiteral("⇉");
        case Settlement::Left:
            break;
    }
    return QStringLiteral("⚠");
}

}  // namespace

TwoWayPlanDialog::TwoWayPlanDialog(const Comparison& comparison, const TwoWaySession& session,
                                   SyncPlan& plan, QWidget* parent)
    : QDialog(parent), comparison_(comparison), session_(session), plan_(plan) {
    setWindowTitle(tr("Synchronise Both Ways"));
    list_ = new QTreeWidget(this);
    list_->setColumnCount(3);
    list_->setHeaderLabels({QString(), tr("Source"), tr("Target")});
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    list_->header()->setSectionResizeMode(kMark, QHeaderView::Fixed);
    list_->header()->setStretchLastSection(true);
    list_->setColumnWidth(kMark, list_->fontMetrics().horizontalAdvance(QStringLiteral("⇉⇉")) + 8);
    list_->setColumnWidth(kSource, 320);
    connect(list_, &QTreeWidget::customContextMenuRequested, this, &TwoWayPlanDialog::ShowMenu);
    connect(list_, &QTreeWidget::currentItemChanged, this, &TwoWayPlanDialog::ShowDescription);

    conflicts_ = new QToolButton(this);
    conflicts_->setText(tr("Conflicts"));
    conflicts_->setToolTip(tr("Show only the files changed on both sides"));
    conflicts_->setCheckable(true);
    connect(conflicts_, &QToolButton::toggled, this, &TwoWayPlanDialog::Refill);
    summary_ = new QLabel(this);
    description_ = new QLabel(this);
    description_->setWordWrap(true);
    description_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    description_->setMinimumHeight(description_->fontMetrics().lineSpacing() * 4);

    auto* buttons = new QDialogButtonBox(this);
    synchronise_ = buttons->addButton(tr("Synchronise"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(conflicts_);
    top->addWidget(summary_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(list_, 1);
    layout->addWidget(description_);
    layout->addWidget(buttons);
    resize(820, 480);
    Refill();
}

QString TwoWayPlanDialog::RowPath(uint32_t row) const {
    const FileEntry& s = comparison_.SourceResults().ElementAt(row);
    const FileEntry& e = Present(s) ? s : comparison_.TargetResults().ElementAt(row);
    QString path = FromStd(e.path.str());
    if (e.IsFolder()) path += QLatin1Char('/');
    return path;
}

void TwoWayPlanDialog::Refill() {
    const bool onlyConflicts = conflicts_->isChecked();
    list_->clear();
    const auto add = [&](const QString& mark, const QString& source, const QString& target,
                         const QString& tip, int conflict = -1) {
        auto* item = new QTreeWidgetItem(list_, {mark, source, target});
        item->setTextAlignment(kMark, Qt::AlignCenter);
        item->setToolTip(kMark, tip);
        item->setData(kMark, kConflictRole, conflict);
    };
    const TwoWayPart& part = plan_.twoWay;
    std::unordered_set<uint32_t> conflictRows;
    for (size_t i = 0; i < part.conflicts.size(); ++i) {
        const TwoWayConflict& conflict = part.conflicts[i];
        conflictRows.insert(conflict.row);
        if (conflict.kind == ConflictKind::RenamedApart) conflictRows.insert(conflict.targetRow);
        const bool apart = conflict.kind == ConflictKind::RenamedApart;
        const QString path = RowPath(conflict.row);
        add(SettledMark(conflict.settled), path, apart ? FromStd(conflict.targetPath) : path,
            apart ? tr("Renamed apart") : tr("Changed on both sides"), static_cast<int>(i));
    }
    if (!onlyConflicts) {
        for (const RenameStep& step : part.renames) {
            if (step.memoryOnly || step.conflictCopy) continue;
            const QString renamed = FromStd(step.from) + QStringLiteral(" → ") + FromStd(step.to);
            add(QStringLiteral("↷"), step.onSource ? renamed : FromStd(step.to),
                step.onSource ? FromStd(step.to) : renamed, tr("Renamed"));
        }
        const auto rows = [&](const std::vector<uint32_t>& list, const QString& mark, bool toTarget,
                              bool deletion, const QString& tip) {
            for (const uint32_t row : list) {
                if (conflictRows.contains(row)) continue;
                const QString path = RowPath(row);
                const bool onSource = deletion ? !toTarget : true;
                const bool onTarget = deletion ? toTarget : true;
                add(mark, onSource ? path : QString(), onTarget ? path : QString(), tip);
            }
        };
        rows(plan_.copyToTarget, QStringLiteral("→"), true, false, tr("Copied to Target"));
        rows(plan_.copyToSource, QStringLiteral("←"), false, false, tr("Copied to Source"));
        rows(plan_.deleteInTarget, QStringLiteral("✕"), true, true, tr("Deleted in Target"));
        rows(part.deleteInSource, QStringLiteral("✕"), false, true, tr("Deleted in Source"));
    }
    summary_->setText(
        tr("Actions: %1. Conflicts left: %2.").arg(plan_.Total()).arg(part.ConflictsLeft()));
    if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
    ShowDescription();
}

void TwoWayPlanDialog::ShowDescription() {
    const QTreeWidgetItem* item = list_->currentItem();
    const int index = item == nullptr ? -1 : item->data(kMark, kConflictRole).toInt();
    if (item == nullptr || index < 0 || index >= static_cast<int>(plan_.twoWay.conflicts.size())) {
        description_->setText(item == nullptr ? QString() : item->toolTip(kMark));
        return;
    }
    description_->setText(ConflictFacts(plan_.twoWay.conflicts[static_cast<size_t>(index)]));
}

QString TwoWayPlanDialog::ConflictFacts(const TwoWayConflict& conflict) {
    const QLocale locale;
    const auto facts = [&](const SideFacts& side) {
        if (!side.Present()) return tr("absent");
        if (side.kind == SideFacts::Folder) return tr("folder");
        return tr("%1 bytes, %2")
            .arg(locale.toString(static_cast<qulonglong>(side.size)),
                 locale.toString(QDateTime::fromSecsSinceEpoch(side.lastWrite),
                                 QLocale::ShortFormat));
    };
    QString text = conflict.kind == ConflictKind::BothNew
                       ? tr("New on both sides, and different.")
                       : tr("Changed on both sides since the last synchronisation.");
    if (conflict.kind == ConflictKind::RenamedApart) {
        text = tr("%1 was renamed to %2 in Source and to %3 in Target.")
                   .arg(FromStd(conflict.renamedFrom), FromStd(conflict.sourcePath),
                        FromStd(conflict.targetPath));
    }
    if (conflict.hasBase)
        text += QLatin1Char('\n') + tr("Last sync: %1").arg(facts(conflict.baseSource));
    text += QLatin1Char('\n') + tr("Source: %1").arg(facts(conflict.source));
    text += QLatin1Char('\n') + tr("Target: %1").arg(facts(conflict.target));
    return text;
}

void TwoWayPlanDialog::SettleSelection(Settlement how) {
    for (const QTreeWidgetItem* item : list_->selectedItems()) {
        const int index = item->data(kMark, kConflictRole).toInt();
        if (index >= 0) session_.Settle(plan_, static_cast<size_t>(index), how);
    }
    Refill();
}

void TwoWayPlanDialog::ShowMenu(const QPoint& at) {
    QMenu menu(this);
    const std::pair<QString, Settlement> choices[] = {
        {tr("Keep Source"), Settlement::KeepSource},
        {tr("Keep Target"), Settlement::KeepTarget},
        {tr("Keep Both"), Settlement::KeepBoth},
        {tr("Skip"), Settlement::Left},
    };
    bool anyConflict = false;
    for (const QTreeWidgetItem* item : list_->selectedItems())
        anyConflict = anyConflict || item->data(kMark, kConflictRole).toInt() >= 0;
    for (const auto& choice : choices) {
        QAction* action = menu.addAction(choice.first);
        action->setEnabled(anyConflict);
        const Settlement how = choice.second;
        connect(action, &QAction::triggered, this, [this, how] { SettleSelection(how); });
    }
    menu.exec(list_->viewport()->mapToGlobal(at));
}

}  // namespace ravelmoor
