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
    QObject* told = dialog != nullptr ? static_cast<QObject*>(dialog) : &loop;
    std::thread worker([&work, &finished, told, dialog, &loop] {
        work();
        finished.store(true);
        // Queued: also when the work ends before the loop has begun. An
        // event for a receiver that is gone by then is dropped.
        QMetaObject::invokeMethod(
            told,
            [dialog, &loop] {
                if (dialog != nullptr) {
                    dialog->done(QDialog::Accepted);
                } else {
                    loop.quit();
                }
            },
            Qt::QueuedConnection);
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
    QCoreApplication* application = QCoreApplication::instance();
    if (QThread::currentThread() == application->thread()) {
        step();
        return;
    }
    QMetaObject::invokeMethod(application, step, Qt::BlockingQueuedConnection);
}

}  // namespace ravelmoor
