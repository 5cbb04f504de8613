#include "core/ftp/FtpOpener.h"

#include "core/engine/Prompter.h"
#include "core/ftp/FtpClient.h"
#include "core/ftp/FtpFileSystem.h"
#include "core/ftp/ServerClockStore.h"
#include "core/text/Translated.h"

namespace ravelmoor {

std::unique_ptr<FileSystem> OpenFtpSide(const FtpConnection& connection, Prompter& prompter,
                                        const std::atomic<int32_t>* cancel) {
    return OpenFtpSide(connection, connection.user, prompter, cancel);
}

namespace {

std::unique_ptr<FtpFileSystem> OpenFtp(const FtpConnection& connection, std::string_view shownUser,
                                       Prompter& prompter, const std::atomic<int32_t>* cancel) {
    auto client = std::make_unique<FtpClient>(connection, cancel);
    if (!client->Initialised()) {
        prompter.Warn(
            FillIn(QCoreApplication::translate("FtpOpener", "Cannot initialise FTP connection")));
        return nullptr;
    }
    const FtpOutcome outcome = client->Connect();
    if (outcome == FtpOutcome::Cancelled) return nullptr;
    if (outcome != FtpOutcome::Done) {
        const std::string& text = client->ErrorText();
        prompter.Warn(text.empty()
                          ? FillIn(QCoreApplication::translate("FtpOpener", "Error"))
                          : FillIn(QCoreApplication::translate("FtpOpener", "%1 Server:%2 User:%3"),
                                   {text, connection.server, shownUser}));
        return nullptr;
    }
    return std::make_unique<FtpFileSystem>(std::move(client), prompter);
}

}  // namespace

std::unique_ptr<FileSystem> OpenFtpSide(const FtpConnection& connection, std::string_view shownUser,
                                        Prompter& prompter, const std::atomic<int32_t>* cancel) {
    return OpenFtp(connection, shownUser, prompter, cancel);
}

std::unique_ptr<RemoteSide> MakeFtpSide(const FtpConnection& connection) {
    class FtpSide : public RemoteSide {
      public:
        explicit FtpSide(FtpConnection connection) : connection_(std::move(connection)) {}
        SideKind Kind() const override { return SideKind::Ftp; }
        const std::string& Folder() const override { return connection_.directory; }
        std::unique_ptr<FileSystem> Open(Prompter& prompter,
                                         const std::atomic<int32_t>* cancel) override {
            std::unique_ptr<FtpFileSystem> side =
                OpenFtp(connection_, connection_.user, prompter, cancel);
            // Before the listing, so that its times are read through the clock.
            if (side) {
                side->LearnClock(connection_.directory, [this](const ServerClock& clock) {
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
