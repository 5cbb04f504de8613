#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "core/engine/ProgressText.h"
#include "core/engine/ProgressTicker.h"
#include "core/launch/RunProgress.h"

class QGridLayout;
class QLabel;
class QProgressBar;
class QPushButton;

namespace ravelmoor {

class BackgroundTask;
class ComparisonRun;
class ElidedLabel;

// The window's one progress dialog, modal over work that a BackgroundTask
// runs (the task closes it when the work has ended): a bar, figures, the
// object in hand and Cancel. What the figures are depends on what it follows:
// a synchronisation or an undo shows its objects and bytes done of the
// total, the rate and the time left, polled from the run's snapshot (the
// bytes move during a large file); a comparison shows the objects found on
// each side, the phase and the bytes checked, its bar moving to and fro
// since nothing says how much is left. The work writes the object in hand
// from its own thread (the dialog is its ProgressText); every tick shows the
// latest. Cancel (the button, Escape or the close box) greys the button out
// at once and asks the work to stop; the dialog stays until it has.
class ProgressDialog : public QDialog, public ProgressText {
    Q_OBJECT

  public:
    // The figures, each a label and a value; only those of what is followed
    // are shown.
    enum class Figure { SourceCount, TargetCount, Objects, Bytes, Rate, TimeLeft };

    ProgressDialog(BackgroundTask& task, const QString& title, QWidget* over);

    // A synchronisation or an undo: `snapshot` is asked from the
    // user-interface thread at each tick.
    void Follow(std::function<RunSnapshot()> snapshot);
    // A comparison (titled as such): Cancel stops `run`, whose sides are
    // interrupted now and then until it has ended.
    void Follow(ComparisonRun& run);

    // From any thread; shown at the next tick, or at once on the dialog's own.
    void Show(std::string_view text) override;
    // The cancel request, never a plain close.
    void reject() override;
    // The work has ended: the figures as it left them, then the close.
    void done(int result) override;

    QPushButton* CancelButton() const { return cancel_; }
    QProgressBar* Bar() const { return bar_; }
    // The object in hand as shown.
    QString Line() const;
    // A figure's value as shown; empty when the figure is not.
    QString FigureText(Figure figure) const;
    // A phase line as shown (a comparison's).
    QString PhaseText() const;

  private:
    void AddFigure(Figure figure, const QString& label);
    void OnTick();
    void ShowRun(const RunSnapshot& snapshot);
    void ShowComparison();

    BackgroundTask& task_;
    std::function<RunSnapshot()> snapshot_;
    ComparisonRun* comparison_ = nullptr;
    ProgressTicker ticker_;
    uint64_t bytesShown_ = 0;  // never back: settled and moving bytes are read apart
    std::mutex lock_;
    std::string latest_;
    bool fresh_ = false;
    QTimer timer_;
    QGridLayout* figures_;
    std::array<QLabel*, 6> labels_{};
    std::array<QLabel*, 6> values_{};
    QLabel* phase_;    // a comparison's phase
    QLabel* checked_;  // and the bytes it checked
    QProgressBar* bar_;
    ElidedLabel* line_;
    QPushButton* cancel_;
};

}  // namespace ravelmoor
