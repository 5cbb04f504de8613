#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>

#include "core/engine/WindowThread.h"
#include "gui/main/DesktopApp.h"

namespace {

// The off-screen platform says this of every fixed-size dialog; it is no fault.
void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) return;
    qt_message_output(type, context, message);
}

}  // namespace

// The windows of the tests need an application; without a display they are
// drawn off screen.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietMessages);
    QApplication app(argc, argv);
    ravelmoor::LoadProgramResources();
    // A remote call on the window's thread stops the test binary.
    ravelmoor::ArmWindowThreadCheck();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
