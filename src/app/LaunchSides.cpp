#include "app/LaunchSides.h"

#include "app/CompareLaunch.h"
#include "ftp/FtpConnectionStore.h"

namespace ravelmoor {
namespace {

// The connection named after the "(ftp) " of `text`, ready to log on with;
// empty when no such connection is stored.
FtpConnection ConnectionFor(const std::string& text, const FtpConnectionStore& connections) {
    FtpConnection connection =
        connections.LookupConnection(std::string_view(text).substr(kFtpFolderPrefix.size()));
    if (connection.IsEmpty()) return connection;
    connection = FtpConnectionStore::WithDefaultLogon(std::move(connection));
    connection.directory = RootText(connection.directory);
    return connection;
}

}  // namespace

std::string LaunchSides::SourceRoot() const {
    return RootText(source);
}

std::string LaunchSides::TargetRoot() const {
    return RootText(target);
}

std::string CheckLaunchSides(LaunchSides& sides, const FtpConnectionStore& connections) {
    sides.sourceFtp = {};
    sides.targetFtp = {};
    const bool sourceIsFtp = DesignatesFtpFolder(sides.source);
    if (sourceIsFtp) {
        sides.sourceFtp = ConnectionFor(sides.source, connections);
        if (sides.sourceFtp.IsEmpty()) return "Source FTP connection not found";
    } else {
        sides.source = NormaliseFolder(sides.source);
        if (!IsExistingFolder(sides.source)) return "Source folder not found.";
    }

    if (DesignatesFtpFolder(sides.target)) {
        if (sourceIsFtp) {
            return "Sorry this version does not support comparison between two FTP directories.";
        }
        sides.targetFtp = ConnectionFor(sides.target, connections);
        if (sides.targetFtp.IsEmpty()) return "Target FTP connection not found";
    } else {
        sides.target = NormaliseFolder(sides.target);
        if (sides.source == sides.target) return "Source and Target Folders are the same.";
        if (!IsExistingFolder(sides.target)) return "Target folder not found.";
    }
    return {};
}

}  // namespace ravelmoor
