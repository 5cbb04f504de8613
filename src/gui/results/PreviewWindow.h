#pragma once

#include <QDialog>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "core/sync/PreviewBuilder.h"

class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace ravelmoor {

// Lines handed from the preview builder's thread to the window. The builder
// waits while the window has not yet taken a good number of them, so a plan
// of millions of rows never piles up in memory; a stop releases it.
class PreviewQueue : public PreviewSink {
  public:
    static constexpr size_t kMostWaiting = 512;

    explicit PreviewQueue(const std::atomic<bool>& stop) : stop_(stop) {}

    void Progress(size_t begun, size_t total) override;
    void AddLine(const PreviewLine& line) override;

    // Up to `most` waiting lines, oldest first.
    std::vector<PreviewLine> Take(size_t most);
    size_t Waiting();
    // Lets a waiting builder see the stop.
    void Release();
    size_t Begun() const { return begun_.load(); }
    size_t Total() const { return total_.load(); }

  private:
    const std::atomic<bool>& stop_;
    std::mutex lock_;
    std::condition_variable roomMade_;
    std::deque<PreviewLine> waiting_;
    std::atomic<size_t> begun_{0};
    std::atomic<size_t> total_{0};
};

// "Preview": one coloured line per planned copy or deletion, in the order in
// which the synchronisation would carry them out, and the total. The lines
// are made on a thread of their own while the window stays responsive;
// "Close Preview" stops that thread at any time and closes the window once
// it has stopped (a stopped preview has no total line).
class PreviewWindow : public QDialog {
    Q_OBJECT

  public:
    PreviewWindow(SyncSides sides, SyncPlan plan, QWidget* parent = nullptr);
    ~PreviewWindow() override;

    // "Close Preview", Escape and the close box.
    void reject() override;

    // The builder has ended (all lines shown, or stopped).
    bool Finished() const { return finished_; }
    QPlainTextEdit* TextBox() const { return text_; }
    QProgressBar* ProgressBar() const { return progress_; }
    QPushButton* CloseButton() const { return close_; }

    static QColor ColourOf(PreviewColour colour);

  private:
    void OnTick();
    void Append(const std::vector<PreviewLine>& lines);
    void Stop();

    SyncSides sides_;
    SyncPlan plan_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> builderDone_{false};
    PreviewQueue queue_{stop_};
    std::thread builder_;
    QTimer ticker_;
    bool finished_ = false;

    QPlainTextEdit* text_;
    QProgressBar* progress_;
    QPushButton* close_;
};

}  // namespace ravelmoor
