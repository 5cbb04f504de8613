#include "core/ftp/FtpOpener.h"

#include "core/ftp/FtpClient.h"
#include "core/ftp/FtpFileSystem.h"
#include "core/ftp/ServerClockStore.h"
#include "core/text/Translated.h"

namespace ravelmoor {

OpenResult<FileSystem> OpenFtpSide(const FtpConnection& connection, Prompter& prompter,
                                   const std::atomic<int32_t>* cancel) {
    return OpenFtpSide(connection, connection.user, prompter, cancel);
}

namespace {

OpenResult<FtpFileSystem> OpenFtp(const FtpConnection& connection, std::string_view shownUser,
                                  Prompter& prompter, const std::atomic<int32_t>* cancel) {
    auto client = std::make_unique<FtpClient>(connection, cancel);
    if (!client->Initialised()) {
        return OpenResult<FtpFileSystem>(
            OpenStatus::Failed,
            FillIn(QCoreApplication::translate("FtpOpener", "Cannot initialise FTP connection")));
    }
    const FtpOutcome outcome = client->Connect();
    if (outcome == FtpOutcome::Cancelled) return OpenResult<FtpFileSystem>(OpenStatus::Stopped);
    if (outcome != FtpOutcome::Done) {
        const std::string& text = client->ErrorText();
        return OpenResult<FtpFileSystem>(
            OpenStatus::Failed,
            text.empty() ? FillIn(QCoreApplication::translate("FtpOpener", "Error"))
                         : FillIn(QCoreApplication::translate("FtpOpener", "%1 Server:%2 User:%3"),
                                  {text, connection.server, shownUser}));
    }
    return OpenResult<FtpFileSystem>(std::make_unique<FtpFileSystem>(std::move(client), prompter));
}

}  // namespace

OpenResult<FileSystem> OpenFtpSide(const FtpConnection& connection, std::string_view shownUser,
                                   Prompter& prompter, const std::atomic<int32_t>* cancel) {
    return OpenFtp(connection, shownUser, prompter, cancel);
}

std::unique_ptr<RemoteSide> MakeFtpSide(const FtpConnection& connection) {
    class FtpSide : public RemoteSide {
      public:
        explicit FtpSide(FtpConnection connection) : connection_(std::move(connection)) {}
        SideKind Kind() const override { return SideKind::Ftp; }
        const std::string& Folder() const override { return connection_.directory; }
        OpenResult<FileSystem> Open(Prompter& prompter,
                                    const std::atomic<int32_t>* cancel) override {
            OpenResult<FtpFileSystem> side =
                OpenFtp(connection_, connection_.user, prompter, cancel);
            // Before the listing, so that its times are read through the clock.
            if (side.value) {
                side.value->LearnClock(connection_.directory, [this](const ServerClock& clock) {
                    ServerClockStore::Write(connection_.server, connection_.user, clock);
                });
            }
            return side;
        }

      private:
        FtpConnection connection_;
    };
    return std::make_unique<FtpSide>(connection);
}

}  // namespace ravelmoor
