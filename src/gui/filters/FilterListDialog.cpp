#include "gui/filters/FilterListDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/engine/Prompter.h"
#include "gui/filters/FilterDialog.h"
#include "gui/widgets/BackgroundPainter.h"
#include "gui/widgets/HelpWindow.h"
#include "gui/widgets/IconButton.h"
#include "gui/widgets/ReportList.h"

namespace ravelmoor {
namespace {

constexpr int kTypeColumn = 0;
constexpr int kExpressionColumn = 1;

void ShowRule(QTreeWidgetItem& row, const FilterRule& rule) {
    row.setText(kTypeColumn, QString::fromStdString(rule.type));
    row.setText(kExpressionColumn, QString::fromStdString(rule.expression));
}

FilterRule RuleOf(const QTreeWidgetItem& row) {
    return {row.text(kTypeColumn).toStdString(), row.text(kExpressionColumn).toStdString()};
}

}  // namespace

FilterListDialog::FilterListDialog(FilterRules& rules, Prompter& prompter, QWidget* parent)
    : QDialog(parent), rules_(rules), prompter_(prompter) {
    UseBackground(*this);
    setWindowTitle(tr("Filters"));

    list_ = new ReportList(this);
    list_->setColumnCount(2);
    list_->setHeaderLabels({tr("Inc./Exc."), tr("Regular Expression")});
    list_->setHeaderHidden(true);
    list_->setColumnWidth(kTypeColumn, 60);
    list_->setColumnWidth(kExpressionColumn, 250);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->SetEmptyText(tr("Empty"));
    list_->setMinimumSize(330, 160);
    auto* label = new QLabel(tr("Filter List:"), this);
    label->setBuddy(list_);

    QToolButton* add = MakeSmallIconButton("add", tr("Add Filter"), this);
    QToolButton* edit = MakeSmallIconButton("edit", tr("Edit Filter"), this);
    QToolButton* remove = MakeSmallIconButton("remove", tr("Remove Filter"), this);
    // Icons only, so no Alt keys: the keys of lists everywhere, named in the tooltips.
    for (const auto& [button, key] : {std::pair{add, Qt::Key_Insert}, std::pair{edit, Qt::Key_F2},
                                      std::pair{remove, Qt::Key_Delete}}) {
        button->setShortcut(QKeySequence(key));
        button->setToolTip(QStringLiteral("%1 (%2)").arg(
            button->toolTip(), button->shortcut().toString(QKeySequence::NativeText)));
    }
    connect(add, &QToolButton::clicked, this, &FilterListDialog::OnAdd);
    connect(edit, &QToolButton::clicked, this, &FilterListDialog::OnEdit);
    connect(remove, &QToolButton::clicked, this, &FilterListDialog::OnRemove);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &FilterListDialog::OnEdit);

    auto* buttons = MakeOkCancelHelpButtons(*this, help_topics::kFilters);

    auto* top = new QHBoxLayout;
    top->addWidget(label);
    top->addStretch();
    top->addWidget(add);
    top->addWidget(edit);
    top->addWidget(remove);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(list_);
    layout->addWidget(buttons);

    for (const FilterRule& rule : rules)
        AddRow(rule);
}

void FilterListDialog::accept() {
    FilterRules rows;
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        rows.push_back(RuleOf(*list_->topLevelItem(i)));
    rules_ = std::move(rows);
    QDialog::accept();
}

void FilterListDialog::OnAdd() {
    FilterRule rule{FilterRule::kExclude, ""};
    if (EditRule(rule)) AddRow(rule);
}

void FilterListDialog::OnEdit() {
    QTreeWidgetItem* row = FirstSelectedRow();
    if (row == nullptr) {
        prompter_.Warn(tr("Select Filter to Edit from list.").toStdString());
        return;
    }
    FilterRule rule = RuleOf(*row);
    if (EditRule(rule)) ShowRule(*row, rule);
}

void FilterListDialog::OnRemove() {
    QTreeWidgetItem* row = FirstSelectedRow();
    if (row == nullptr) {
        prompter_.Warn(tr("Select Filter to Remove from list.").toStdString());
        return;
    }
    delete row;
}

bool FilterListDialog::EditRule(FilterRule& rule) {
    FilterDialog dialog(rule, prompter_, this);
    if (dialog.exec() != QDialog::Accepted) return false;
    rule = dialog.Rule();
    return true;
}

QTreeWidgetItem* FilterListDialog::FirstSelectedRow() const {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? nullptr : selected.constFirst();
}

void FilterListDialog::AddRow(const FilterRule& rule) {
    auto* row = new QTreeWidgetItem(list_);
    ShowRule(*row, rule);
}

}  // namespace ravelmoor
