// The window's undo of a large sync: how long the user-interface thread goes
// without turning its event loop (a timer of 0 ms ticks whenever it turns),
// until the question is shown and in all, and the undo's whole time. The
// sync is made first by the command line (PROGRAM) from FILES new files of
// 100 bytes in 100 folders to an empty Target; the question is answered Yes
// as soon as it shows. Everything lives in a temporary folder (the journal
// and the trash too). Drawn off screen unless a display platform is chosen.
//
//   undo_bench PROGRAM [FILES]      (default 20000)
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/engine/Prompter.h"
#include "gui/main/DesktopApp.h"
#include "gui/results/UndoAction.h"

namespace {

using namespace ravelmoor;
using Clock = std::chrono::steady_clock;

class SilentPrompter : public Prompter {
  public:
    void Inform(std::string_view) override {}
    void Warn(std::string_view) override {}
    bool AskOkCancel(std::string_view) override { return false; }
    bool AskYesNo(std::string_view) override { return false; }
};

double Milliseconds(Clock::duration taken) {
    return std::chrono::duration<double, std::milli>(taken).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: undo_bench PROGRAM [FILES]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const int files = argc > 2 ? std::atoi(argv[2]) : 20000;
    QTemporaryDir work;
    for (const char* folder : {"XDG_STATE_HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"})
        qputenv(folder, work.filePath(QString::fromLatin1(folder)).toUtf8());
    const QString source = work.filePath(QStringLiteral("source"));
    const QString target = work.filePath(QStringLiteral("target"));
    QDir().mkpath(target);
    const QByteArray content(100, 'x');
    for (int i = 0; i < files; ++i) {
        const QString folder = source + QStringLiteral("/d%1").arg(i % 100);
        if (i < 100) QDir().mkpath(folder);
        QFile file(folder + QStringLiteral("/f%1.txt").arg(i));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) return 1;
    }
    const auto synced = Clock::now();
    if (QProcess::execute(
            QString::fromLocal8Bit(argv[1]),
            {QStringLiteral("sync"), QStringLiteral("--method"), QStringLiteral("update"),
             QStringLiteral("--yes"), QStringLiteral("-r"), source, target}) != 0) {
        std::fprintf(stderr, "the sync failed\n");
        return 1;
    }
    std::printf("files: %d, synchronised by the command line in %.0f ms\n", files,
                Milliseconds(Clock::now() - synced));

    QApplication app(argc, argv);
    LoadProgramResources();
    QWidget window;
    window.resize(400, 300);
    window.show();
    QApplication::processEvents();

    Clock::time_point last = Clock::now();
    double longest = 0;
    double longestBeforeQuestion = -1;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        longest = std::max(longest, Milliseconds(now - last));
        last = now;
    });
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal->windowTitle() != QStringLiteral("Undo Last Synchronisation"))
            return;
        longestBeforeQuestion = longest;
        if (auto* buttons = modal->findChild<QDialogButtonBox*>())
            buttons->button(QDialogButtonBox::Yes)->click();
    });
    SilentPrompter prompter;
    UndoAction action(prompter, &window);
    const auto start = Clock::now();
    last = start;
    ticker.start(0);
    answer.start(1);
    const bool changed = action.Run();
    const double whole = Milliseconds(Clock::now() - start);
    ticker.stop();
    std::printf(
        "undo %s in %.0f ms; the longest stretch without an event: %.0f ms before the "
        "question, %.0f ms in all\n",
        changed ? "done" : "NOT done", whole, longestBeforeQuestion, longest);
    return changed ? 0 : 1;
}
