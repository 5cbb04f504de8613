#pragma once

#include <QDialog>
#include <QTimer>
#include <mutex>
#include <string>
#include <string_view>

#include "core/engine/ProgressText.h"

class QPushButton;

namespace ravelmoor {

class BackgroundTask;
class ElidedLabel;

// The modal dialog over a BackgroundTask: a title, one line naming the
// object in hand, and Cancel. The work writes the line from its own thread
// (the dialog is its ProgressText); the dialog shows the latest text every
// 100 ms. Cancel (the button, Escape or the close box) greys the button out
// at once and asks the task to stop; the dialog stays until the work has
// ended, and the task closes it then.
class TaskProgressDialog : public QDialog, public ProgressText {
    Q_OBJECT

  public:
    TaskProgressDialog(BackgroundTask& task, const QString& title, QWidget* over);

    // From any thread.
    void Show(std::string_view text) override;
    // The cancel request, never a plain close.
    void reject() override;

    QPushButton* CancelButton() const { return cancel_; }
    QString Line() const;

  private:
    void OnTick();

    BackgroundTask& task_;
    std::mutex lock_;
    std::string latest_;
    bool fresh_ = false;
    QTimer timer_;
    ElidedLabel* line_;
    QPushButton* cancel_;
};

}  // namespace ravelmoor
