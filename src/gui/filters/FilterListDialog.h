#pragma once

#include <QDialog>

#include "core/filters/FilterRule.h"

class QTreeWidgetItem;

namespace ravelmoor {

class Prompter;
class ReportList;

// "Filters": the ordered include and exclude rules of the settings. Add,
// Edit and Remove work on the list; OK replaces the settings' rules by the
// rows in order, Cancel keeps them as they were.
class FilterListDialog : public QDialog {
    Q_OBJECT

  public:
    FilterListDialog(FilterRules& rules, Prompter& prompter, QWidget* parent = nullptr);

    void accept() override;

  private:
    void OnAdd();
    void OnEdit();
    void OnRemove();
    // Opens the Filter dialog on `rule`; true when confirmed.
    bool EditRule(FilterRule& rule);
    QTreeWidgetItem* FirstSelectedRow() const;
    void AddRow(const FilterRule& rule);

    FilterRules& rules_;
    Prompter& prompter_;
    ReportList* list_;
};

}  // namespace ravelmoor
