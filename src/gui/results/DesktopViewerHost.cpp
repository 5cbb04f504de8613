#include "gui/results/DesktopViewerHost.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "core/local/LocalFileSystem.h"
#include "core/sync/DifferenceViewerCommand.h"
#include "core/text/Translated.h"
#include "gui/results/ResultsWindow.h"
#include "gui/settings/GeneralSettingsDialog.h"

namespace ravelmoor {
namespace {

// Runs the program, waits for it and then removes the folder given first:
// the shell outlives this process, so the folder goes even if the user
// closes Ravelmoor before the viewer.
constexpr const char* kRunThenRemove = R"(dir=$1; shift; "$@"; rm -rf -- "$dir")";

bool Runnable(const std::string& program) {
    const QString path = QString::fromStdString(program);
    if (!path.contains(QLatin1Char('/'))) return !QStandardPaths::findExecutable(path).isEmpty();
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

QStringList Arguments(const std::vector<std::string>& words) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(words.size()));
    for (const std::string& word : words)
        list.push_back(QString::fromStdString(word));
    return list;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

DesktopViewerHost::DesktopViewerHost(const ResultsContext& context, FileSystem* sourceRemote,
                                     FileSystem* targetRemote, QWidget* parent)
    : context_(context),
      sourceRemote_(sourceRemote),
      targetRemote_(targetRemote),
      parent_(parent) {}

DesktopViewerHost::~DesktopViewerHost() {
    for (const std::string& folder : pendingFolders_)
        QDir(QString::fromStdString(folder)).removeRecursively();
}

bool DesktopViewerHost::Fetch(FileSystem& remote, std::string& path, std::string& problem) {
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/ravelmoor-view-XXXXXX"));
    if (!folder.isValid()) {
        problem = FillIn(QCoreApplication::translate("ravelmoor::DesktopViewerHost",
                                                     "Can not make a temporary folder for %1: %2"),
                         {path, folder.errorString().toStdString()});
        return false;
    }
    folder.setAutoRemove(false);
    const std::string root = folder.path().toStdString() + "/";
    pendingFolders_.push_back(folder.path().toStdString());
    const std::string name = BaseName(path);
    LocalFileSystem local;
    const WriteOutcome outcome = local.CopyIn(remote, path, root, name, CopyControl{});
    if (outcome.status != WriteStatus::Done) {
        const std::string reason = outcome.reason.empty()
                                       ? QCoreApplication::translate("ravelmoor::DesktopViewerHost",
                                                                     "the server refused it")
                                             .toStdString()
                                       : outcome.reason;
        problem = FillIn(
            QCoreApplication::translate("ravelmoor::DesktopViewerHost", "Can not download %1: %2"),
            {path, reason});
        return false;
    }
    path = root + name;
    return true;
}

std::string DesktopViewerHost::MakeLocal(PathPair& pair) {
    std::string problem;
    if (sourceRemote_ != nullptr && !Fetch(*sourceRemote_, pair.source, problem)) return problem;
    if (targetRemote_ != nullptr && !Fetch(*targetRemote_, pair.target, problem)) return problem;
    return {};
}

bool DesktopViewerHost::Start(const ViewerCommand& command) {
    if (command.program.empty()) return false;
    const QString program = QString::fromStdString(command.program);
    if (pendingFolders_.empty())
        return QProcess::startDetached(program, Arguments(command.arguments));
    // The shell would start even when the program cannot.
    if (!Runnable(command.program)) return false;
    QStringList words = {QStringLiteral("-c"), QString::fromLatin1(kRunThenRemove),
                         QStringLiteral("ravelmoor-viewer"),
                         QString::fromStdString(pendingFolders_.back()), program};
    words += Arguments(command.arguments);
    if (!QProcess::startDetached(QStringLiteral("/bin/sh"), words)) return false;
    pendingFolders_.pop_back();
    // Earlier folders of this pair (a retry after General Settings) are not needed.
    for (const std::string& folder : pendingFolders_)
        QDir(QString::fromStdString(folder)).removeRecursively();
    pendingFolders_.clear();
    return true;
}

bool DesktopViewerHost::EditSettings() {
    GeneralSettingsDialog dialog(context_.settings, context_.store, context_.prompter,
                                 context_.pickers, parent_);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace ravelmoor
