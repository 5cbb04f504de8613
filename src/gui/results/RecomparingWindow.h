#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <string_view>

#include "core/engine/FolderComparer.h"

namespace ravelmoor {

class ElidedLabel;

// "Re-Comparing files...": a small window without buttons, centred over the
// window that runs a batch of copies or deletions, showing the object in
// hand. While the batch runs, the windows are repainted now and then; the
// user's input waits until the batch ends.
class RecomparingWindow : public QDialog, public ProgressText {
    Q_OBJECT

  public:
    explicit RecomparingWindow(QWidget* over);

    void Show(std::string_view text) override;
    // Escape does not close it; it goes with its batch.
    void reject() override {}

  private:
    ElidedLabel* line_;
    QElapsedTimer sinceRepaint_;
};

}  // namespace ravelmoor
