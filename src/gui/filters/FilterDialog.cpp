#include "gui/filters/FilterDialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/engine/Prompter.h"
#include "core/filters/FilterSet.h"
#include "core/text/Translated.h"
#include "gui/widgets/BackgroundPainter.h"
#include "gui/widgets/HelpWindow.h"

namespace ravelmoor {

FilterDialog::FilterDialog(const FilterRule& rule, Prompter& prompter, QWidget* parent)
    : QDialog(parent), prompter_(prompter) {
    UseBackground(*this);
    setWindowTitle(tr("Filter"));
    exclude_ = new QRadioButton(tr("Exclude"), this);
    include_ = new QRadioButton(tr("Include"), this);
    auto* group = new QButtonGroup(this);
    group->addButton(exclude_, 0);
    group->addButton(include_, 1);
    (rule.IsInclude() ? include_ : exclude_)->setChecked(true);

    expression_ = new QLineEdit(QString::fromStdString(rule.expression), this);
    expression_->setMinimumWidth(expression_->fontMetrics().averageCharWidth() * 40);
    auto* label = new QLabel(tr("Regular Expression:"), this);
    label->setBuddy(expression_);

    auto* buttons = MakeOkCancelHelpButtons(*this, help_topics::kFilters);

    auto* kinds = new QHBoxLayout;
    kinds->addWidget(exclude_);
    kinds->addWidget(include_);
    kinds->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(kinds);
    layout->addWidget(label);
    layout->addWidget(expression_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    expression_->setFocus();
}

FilterRule FilterDialog::Rule() const {
    return {include_->isChecked() ? FilterRule::kInclude : FilterRule::kExclude,
            expression_->text().toStdString()};
}

void FilterDialog::accept() {
    if (!IsValidExpression(expression_->text().toStdString())) {
        prompter_.Warn(Translated("FilterSet", kInvalidExpressionMessage));
        expression_->setFocus();
        return;
    }
    QDialog::accept();
}

}  // namespace ravelmoor
