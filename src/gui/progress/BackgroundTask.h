#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <functional>

class QDialog;

namespace ravelmoor {

// The one way the desktop program runs long work off the user-interface
// thread. The work runs on a worker thread and Run returns once it has
// ended; meanwhile the user-interface thread goes on handling events: those
// of a modal progress dialog when one is given (it is closed when the work
// ends), otherwise those of the windows, which the caller keeps from input.
//
// Questions the work asks through a GuiPrompter are shown on the
// user-interface thread while the work waits for the answer; OnUiThread does
// the same for any other step. A cancel request sets the cancel word that the
// core checks between objects and inside a long copy, the word the command
// line's Ctrl-C sets; nothing else is shared with the work.
class BackgroundTask : public QObject {
    Q_OBJECT

  public:
    // Made on the user-interface thread.
    BackgroundTask() = default;

    // Runs `work` on a worker thread and returns once it has ended. Should
    // the user-interface loop end first (the program quits), the task is
    // cancelled and interrupted, and the events go on being handled until
    // the work has stopped, so that a question it asks meanwhile is answered.
    void Run(const std::function<void()>& work, QDialog* dialog = nullptr);

    // Asks the work to stop at its next check. Thread-safe; cannot be withdrawn.
    void Cancel() { cancel_.store(1); }
    bool CancelRequested() const { return cancel_.load() != 0; }
    const std::atomic<int32_t>& CancelWord() const { return cancel_; }
    // What breaks a call of the work that is blocked (an FTP command
    // waiting for a server): run from the user-interface thread by Interrupt
    // and when the program quits under a running task.
    void SetInterrupt(std::function<void()> interrupt) { interrupt_ = std::move(interrupt); }
    void Interrupt() const {
        if (interrupt_) interrupt_();
    }

    // From the work: runs `step` on the user-interface thread and waits for
    // it to end (at once when called there).
    void OnUiThread(const std::function<void()>& step);

  private:
    // OnUiThread's step, called on the user-interface thread.
    Q_INVOKABLE void RunStep(const void* step);

    std::atomic<int32_t> cancel_{0};
    std::function<void()> interrupt_;
};

}  // namespace ravelmoor
