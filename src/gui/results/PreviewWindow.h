#pragma once

#include <QDialog>
#include <vector>

#include "core/sync/PlanEdit.h"
#include "core/sync/PreviewLines.h"

class QLabel;
class QPushButton;

namespace ravelmoor {

class PreviewModel;
class VirtualReportView;

// "Preview": one coloured line per planned copy or deletion, in the order in
// which the synchronisation would carry them out, each with a check box, and
// the total of the ticked ones. The person may untick an action, send a copy
// the other way ("Reverse Direction") or exclude a row ("Exclude"); the
// window's owner takes the edited entries, and the excluded rows, once it
// closes. The lines are made as they are drawn, so a plan of any size opens
// at once.
class PreviewWindow : public QDialog {
    Q_OBJECT

  public:
    PreviewWindow(SyncSides sides, std::vector<PlanEntry> entries, QWidget* parent = nullptr);

    // The actions as edited, in their order.
    const std::vector<PlanEntry>& Entries() const;
    // The comparison rows excluded here.
    const std::vector<uint32_t>& ExcludedRows() const;

    PreviewModel* Model() const { return model_; }
    VirtualReportView* List() const { return list_; }
    QLabel* TotalLabel() const { return total_; }
    QPushButton* TickButton() const { return tick_; }
    QPushButton* UntickButton() const { return untick_; }
    QPushButton* ReverseButton() const { return reverse_; }
    QPushButton* ExcludeButton() const { return exclude_; }
    QPushButton* CloseButton() const { return close_; }

    static QColor ColourOf(PreviewColour colour);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // The rows selected in the list, ascending.
    std::vector<int> SelectedRows() const;
    void ShowTotal(size_t ticked);

    PreviewModel* model_;
    VirtualReportView* list_;
    QLabel* total_;
    QPushButton* tick_;
    QPushButton* untick_;
    QPushButton* reverse_;
    QPushButton* exclude_;
    QPushButton* close_;
};

}  // namespace ravelmoor
