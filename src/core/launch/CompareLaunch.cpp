#include "core/launch/CompareLaunch.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/folders/FolderText.h"
#include "core/ftp/FtpConnectionStore.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

// The connection a "(ftp) NAME" text designates, ready for the engine; empty
// when there is no such connection.
FtpConnection ResolveFtpSide(const std::string& text, const ConnectionLookup& lookup) {
    if (!lookup.ftp) return {};
    FtpConnection connection = lookup.ftp(ConnectionNameIn(text));
    if (connection.IsEmpty()) return connection;
    connection = FtpConnectionStore::WithDefaultLogon(std::move(connection));
    connection.directory = RootText(connection.directory);
    return connection;
}

// Fills `side` from the stored connection a remote folder text names; false
// when none is stored under that name.
bool ResolveRemoteSide(const std::string& text, const ConnectionLookup& lookup,
                       SideConnection& side) {
    if (DesignatesFtpFolder(text)) {
        side.ftp = ResolveFtpSide(text, lookup);
        return !side.ftp.IsEmpty();
    }
    if (lookup.sftp) side.sftp = lookup.sftp(ConnectionNameIn(text));
    return !side.sftp.IsEmpty();
}

LaunchOutcome Refusal(LaunchStatus status, std::string message) {
    return LaunchOutcome(status, std::move(message));
}

// The refusal of a side whose stored connection is not found.
LaunchOutcome ConnectionNotFound(bool source, bool sftp) {
    if (sftp) {
        return source ? Refusal(LaunchStatus::SourceSftpNotFound,
                                FillIn(QCoreApplication::translate(
                                    "CompareLaunch", "Source SFTP connection not found")))
                      : Refusal(LaunchStatus::TargetSftpNotFound,
                                FillIn(QCoreApplication::translate(
                                    "CompareLaunch", "Target SFTP connection not found")));
    }
    return source ? Refusal(LaunchStatus::SourceFtpNotFound,
                            FillIn(QCoreApplication::translate("CompareLaunch",
                                                               "Source FTP connection not found")))
                  : Refusal(LaunchStatus::TargetFtpNotFound,
                            FillIn(QCoreApplication::translate("CompareLaunch",
                                                               "Target FTP connection not found")));
}

bool SameObject(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether `inner` is `outer` or lies below it: its own folder or one of its
// parents is the very folder `outer` (same device and inode), which also
// catches links and bind mounts of one folder under another name.
bool LiesWithin(const std::string& inner, const struct stat& outer) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::canonical(inner, error);
    if (error) return false;
    for (;;) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && SameObject(st, outer)) return true;
        if (!path.has_relative_path()) return false;
        path = path.parent_path();
    }
}

}  // namespace

LaunchOutcome CheckFoldersApart(const std::string& source, const std::string& target) {
    struct stat sourceStat {};
    struct stat targetStat {};
    if (::stat(source.c_str(), &sourceStat) != 0 || ::stat(target.c_str(), &targetStat) != 0) {
        return {};
    }
    if (SameObject(sourceStat, targetStat)) {
        return Refusal(LaunchStatus::SameFolderTwice,
                       FillIn(QCoreApplication::translate(
                                  "CompareLaunch",
                                  "Source \"%1\" and Target \"%2\" are the same folder under two "
                                  "names."),
                              {source, target}));
    }
    if (LiesWithin(source, targetStat) || LiesWithin(target, sourceStat)) {
        return Refusal(LaunchStatus::Nested,
                       FillIn(QCoreApplication::translate(
                                  "CompareLaunch",
                                  "Source \"%1\" and Target \"%2\" lie one inside the other: a "
                                  "synchronisation would copy or delete the folders themselves."),
                              {source, target}));
    }
    return {};
}

LaunchOutcome MakeMissingFolder(const std::string& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (!error && IsExistingFolder(path)) return {};
    return Refusal(
        LaunchStatus::TargetNotFound,
        FillIn(QCoreApplication::translate("CompareLaunch", "Cannot make the folder %1: %2"),
               {path, error ? error.message() : std::strerror(ENOTDIR)}));
}

LaunchOutcome CheckCompareSides(std::string& source, std::string& target,
                                const ConnectionLookup& lookup, SideConnection& sourceSide,
                                SideConnection& targetSide) {
    sourceSide = SideConnection();
    targetSide = SideConnection();
    if (DesignatesRemoteFolder(source)) {
        if (!ResolveRemoteSide(source, lookup, sourceSide))
            return ConnectionNotFound(true, DesignatesSftpFolder(source));
    } else {
        source = NormaliseFolder(source);
        if (!IsExistingFolder(source))
            return Refusal(
                LaunchStatus::SourceNotFound,
                FillIn(QCoreApplication::translate("CompareLaunch", "Source folder not found.")));
    }
    if (DesignatesRemoteFolder(target)) {
        if (!sourceSide.ftp.IsEmpty() && DesignatesFtpFolder(target)) {
            return Refusal(
                LaunchStatus::TwoFtpSides,
                FillIn(QCoreApplication::translate("CompareLaunch",
                                                   "Sorry this version does not support comparison "
                                                   "between two FTP directories.")));
        }
        if (sourceSide.IsRemote()) {
            return Refusal(LaunchStatus::TwoRemoteSides,
                           FillIn(QCoreApplication::translate(
                               "CompareLaunch",
                               "Only one of Source and Target can be a folder on a server.")));
        }
        if (!ResolveRemoteSide(target, lookup, targetSide))
            return ConnectionNotFound(false, DesignatesSftpFolder(target));
    } else {
        target = NormaliseFolder(target);
        if (source == target)
            return Refusal(LaunchStatus::SameFolders,
                           FillIn(QCoreApplication::translate(
                               "CompareLaunch", "Source and Target Folders are the same.")));
        if (!IsExistingFolder(target))
            return Refusal(
                LaunchStatus::TargetNotFound,
                FillIn(QCoreApplication::translate("CompareLaunch", "Target folder not found.")));
        if (!sourceSide.IsRemote()) return CheckFoldersApart(source, target);
    }
    return {};
}

}  // namespace ravelmoor
