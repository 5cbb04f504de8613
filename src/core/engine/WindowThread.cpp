#include "core/engine/WindowThread.h"

#include <QCoreApplication>
#include <QThread>
#include <atomic>

namespace ravelmoor {
namespace {

std::atomic<bool> armed{false};

}  // namespace

void ArmWindowThreadCheck() {
    armed.store(true);
}

bool OnWindowThread() {
    const QCoreApplication* application = QCoreApplication::instance();
    // The core sees no window headers: the class name tells a window
    // application from a command-line one.
    return application != nullptr && application->inherits("QGuiApplication") &&
           QThread::currentThread() == application->thread();
}

void ExpectOffWindowThread(const char* call) {
    if (!armed.load(std::memory_order_relaxed) || !OnWindowThread()) return;
    qFatal("A remote call ran on the window's thread: %s", call);
}

}  // namespace ravelmoor
