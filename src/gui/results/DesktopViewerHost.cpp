#include "gui/results/DesktopViewerHost.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "core/engine/Comparison.h"
#include "core/local/LocalFileSystem.h"
#include "core/sync/DifferenceViewerCommand.h"
#include "core/text/Translated.h"
#include "gui/progress/BackgroundTask.h"
#include "gui/progress/ProgressDialog.h"
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

DesktopViewerHost::DesktopViewerHost(const ResultsContext& context, QWidget* parent)
    : context_(context),
      comparisonSides_(true),
      sourceRemote_(nullptr),
      targetRemote_(nullptr),
      parent_(parent) {}

DesktopViewerHost::DesktopViewerHost(const ResultsContext& context, FileSystem* sourceRemote,
                                     FileSystem* targetRemote, QWidget* parent)
    : context_(context),
      comparisonSides_(false),
      sourceRemote_(sourceRemote),
      targetRemote_(targetRemote),
      parent_(parent) {}

DesktopViewerHost::~DesktopViewerHost() {
    for (const std::string& folder : pendingFolders_)
        QDir(QString::fromStdString(folder)).removeRecursively();
}

FetchOutcome DesktopViewerHost::Fetch(FileSystem& remote, std::string& path,
                                      const std::atomic<int32_t>& cancel) {
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/ravelmoor-view-XXXXXX"));
    if (!folder.isValid()) {
        return FetchOutcome(
            FetchStatus::Failed,
            FillIn(QCoreApplication::translate("ravelmoor::DesktopViewerHost",
                                               "Can not make a temporary folder for %1: %2"),
                   {path, folder.errorString().toStdString()}));
    }
    folder.setAutoRemove(false);
    const std::string root = folder.path().toStdString() + "/";
    pendingFolders_.push_back(folder.path().toStdString());
    const std::string name = BaseName(path);
    LocalFileSystem local;
    CopyControl control;
    control.cancel = &cancel;
    const WriteOutcome outcome = local.CopyIn(remote, path, root, name, control);
    if (outcome.status == WriteStatus::Cancelled || cancel.load() != 0)
        return FetchOutcome(FetchStatus::Stopped);
    if (outcome.status != WriteStatus::Done) {
        const std::string reason = outcome.reason.empty()
                                       ? QCoreApplication::translate("ravelmoor::DesktopViewerHost",
                                                                     "the server refused it")
                                             .toStdString()
                                       : outcome.reason;
        return FetchOutcome(FetchStatus::Failed,
                            FillIn(QCoreApplication::translate("ravelmoor::DesktopViewerHost",
                                                               "Can not download %1: %2"),
                                   {path, reason}));
    }
    path = root + name;
    return {};
}

FetchOutcome DesktopViewerHost::FetchPair(PathPair& pair, const std::atomic<int32_t>& cancel) {
    FileSystem* source = sourceRemote_;
    FileSystem* target = targetRemote_;
    if (comparisonSides_) {
        // The comparison closed its connection when it ended; one that cannot
        // be made again fails the download with the reason, said once.
        Comparison& comparison = context_.comparison;
        comparison.Reopen(&cancel);
        if (!comparison.Sides().IsLocal(Side::Source)) source = &comparison.SourceFileSystem();
        if (!comparison.Sides().IsLocal(Side::Target)) target = &comparison.TargetFileSystem();
    }
    for (auto [remote, path] : {std::pair{source, &pair.source}, std::pair{target, &pair.target}}) {
        if (remote == nullptr) continue;
        FetchOutcome fetched = Fetch(*remote, *path, cancel);
        if (!fetched.Ok()) return fetched;
    }
    return {};
}

FetchOutcome DesktopViewerHost::MakeLocal(PathPair& pair) {
    const SideProvider& sides = context_.comparison.Sides();
    const bool sourceRemote =
        comparisonSides_ ? !sides.IsLocal(Side::Source) : sourceRemote_ != nullptr;
    const bool targetRemote =
        comparisonSides_ ? !sides.IsLocal(Side::Target) : targetRemote_ != nullptr;
    if (!sourceRemote && !targetRemote) return {};
    FetchOutcome fetched;
    BackgroundTask task;
    ProgressDialog progress(task, tr("Fetching from the server..."), parent_);
    progress.Show(targetRemote ? pair.target : pair.source);
    if (comparisonSides_) task.SetInterrupt([this] { context_.comparison.Sides().Interrupt(); });
    task.Run([&] { fetched = FetchPair(pair, task.CancelWord()); }, &progress);
    return fetched;
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
