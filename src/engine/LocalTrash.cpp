// Moving a local file or link to the freedesktop.org trash, through Qt.
#include <fcntl.h>
#include <sys/stat.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>

#include "engine/BelowRoot.h"
#include "engine/LocalFileSystem.h"

namespace ravelmoor {
namespace {

// Where no other trash takes a file, Qt falls back to the user's own trash
// folder; when that cannot be made either, it moves the file into the current
// folder instead of failing. So the user's trash folder must be there before
// Qt is asked at all.
bool UserTrashReady() {
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty() || !QDir().mkpath(dataHome)) return false;
    const QByteArray trash = QFile::encodeName(dataHome + QStringLiteral("/Trash"));
    if (::mkdir(trash.constData(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    return ::stat(trash.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool SameObject(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

WriteOutcome LocalFileSystem::MoveToTrash(const std::string& root, std::string_view relative) {
    WriteOutcome outcome;
    FdGuard folder;
    std::string name;
    if (!OpenParentBelow(root, relative, /*create=*/false, folder, name, outcome)) return outcome;
    struct stat object {};
    if (::fstatat(folder.get(), name.c_str(), &object, AT_SYMLINK_NOFOLLOW) != 0) {
        return WriteOutcome(WriteStatus::Failed, ErrorText(errno));
    }
    // Qt works on the path text, so that text must lead to the very folder
    // that was reached safely.
    const std::string full = root + std::string(relative);
    const std::string parentText = full.substr(0, full.size() - name.size());
    struct stat byText {};
    struct stat byWalk {};
    if (::stat(parentText.c_str(), &byText) != 0 || ::fstat(folder.get(), &byWalk) != 0 ||
        !SameObject(byText, byWalk)) {
        return WriteOutcome(WriteStatus::Refused,
                            "\"" + parentText + "\" does not lead to the folder below the root");
    }

    if (!UserTrashReady()) return WriteOutcome(WriteStatus::NoTrash, "there is no trash folder");
    const QString path = QFile::decodeName(QByteArray(full.data(), qsizetype(full.size())));
    if (QFile::encodeName(path).toStdString() != full) {
        return WriteOutcome(WriteStatus::NoTrash, "its name can not be handed to the trash");
    }
    QString inTrash;
    if (!QFile::moveToTrash(path, &inTrash)) {
        return WriteOutcome(WriteStatus::NoTrash, "no trash on its file system takes it");
    }
    if (!inTrash.startsWith(QLatin1Char('/'))) {
        // Not a trash folder after all: put it back where it was.
        ::rename(QFile::encodeName(inTrash).constData(), full.c_str());
        return WriteOutcome(WriteStatus::NoTrash, "there is no trash folder");
    }
    return outcome;
}

}  // namespace ravelmoor
