#include "gui/progress/BackgroundTask.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEventLoop>
#include <QThread>
#include <thread>

namespace ravelmoor {

void BackgroundTask::Run(const std::function<void()>& work, QDialog* dialog) {
    std::atomic<bool> finished{false};
    QEventLoop loop;
    std::thread worker([&work, &finished, dialog, &loop] {
        work();
        finished.store(true);
        // Queued: also when the work ends before the loop has begun.
        if (dialog != nullptr) {
            QMetaObject::invokeMethod(dialog, "done", Qt::QueuedConnection,
                                      Q_ARG(int, QDialog::Accepted));
        } else {
            QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
        }
    });
    if (dialog != nullptr) {
        dialog->exec();
    } else {
        loop.exec();
    }
    if (!finished.load()) {
        // The program is quitting: no new loop would run, so events are
        // handled by hand until the work has seen the request; its end
        // posts one, which wakes the last wait.
        Cancel();
        Interrupt();
        while (!finished.load())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    worker.join();
}

void BackgroundTask::OnUiThread(const std::function<void()>& step) {
    if (QThread::currentThread() == thread()) {
        step();
        return;
    }
    QMetaObject::invokeMethod(this, "RunStep", Qt::BlockingQueuedConnection,
                              Q_ARG(const void*, &step));
}

void BackgroundTask::RunStep(const void* step) {
    (*static_cast<const std::function<void()>*>(step))();
}

}  // namespace ravelmoor
