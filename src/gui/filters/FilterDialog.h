#pragma once

#include <QDialog>

#include "core/filters/FilterRule.h"

class QLineEdit;
class QRadioButton;

namespace ravelmoor {

class Prompter;

// "Filter": one include or exclude rule. OK takes the expression only when it
// compiles; it is kept as typed, not trimmed (an empty one is valid).
class FilterDialog : public QDialog {
    Q_OBJECT

  public:
    // Opens on `rule`: Include chosen when its type text is "Include",
    // Exclude otherwise.
    FilterDialog(const FilterRule& rule, Prompter& prompter, QWidget* parent = nullptr);

    // The rule as confirmed: type "Include" or "Exclude" and the expression.
    FilterRule Rule() const;

    void accept() override;

  private:
    Prompter& prompter_;
    QRadioButton* exclude_;
    QRadioButton* include_;
    QLineEdit* expression_;
};

}  // namespace ravelmoor
