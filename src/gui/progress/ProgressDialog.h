#pragma once

#include <QDialog>
#include <QTimer>

#include "core/engine/ProgressTicker.h"

class QLabel;
class QPushButton;

namespace ravelmoor {

class ElidedLabel;
class ComparisonRun;

// "Comparing Files and Sub-Folders...": runs modally while the worker
// compares, polls the engine every 200 ms, and closes itself once the run has
// ended. Cancel (the button, Escape or the close box) greys the button out at
// once and asks the worker to stop; the dialog stays until it has.
class ProgressDialog : public QDialog {
    Q_OBJECT

  public:
    ProgressDialog(ComparisonRun& run, QWidget* parent = nullptr);

    void reject() override;  // the cancel request, never a plain close

    QPushButton* CancelButton() const { return cancel_; }

  private:
    void OnTick();

    ComparisonRun& run_;
    ProgressTicker ticker_;
    QTimer timer_;
    QLabel* sourceCount_;
    QLabel* targetCount_;
    QLabel* phase_;
    QLabel* bytes_;
    ElidedLabel* currentItem_;
    QPushButton* cancel_;
};

}  // namespace ravelmoor
