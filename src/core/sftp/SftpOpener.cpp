#include "core/sftp/SftpOpener.h"

#include "core/engine/FileEntry.h"
#include "core/sftp/SftpFileSystem.h"
#include "core/text/Translated.h"

namespace ravelmoor {

OpenResult<SftpFileSystem> OpenSftpSide(const SftpConnection& connection, Prompter& prompter,
                                        const std::atomic<int32_t>* cancel,
                                        UnknownHostKey unknown) {
    using Opened = OpenResult<SftpFileSystem>;
    auto session = std::make_unique<SftpSession>(connection, cancel);
    const SftpOutcome outcome = session->Connect(prompter, unknown);
    if (outcome != SftpOutcome::Done) {
        if (session->ErrorText().empty()) return Opened(OpenStatus::Stopped);
        return Opened(OpenStatus::Failed, session->ErrorText());
    }
    const std::string home = session->HomeFolder();
    const std::string host = session->HostText();
    const SftpSession& state = *session;
    auto side = std::make_unique<SftpFileSystem>(std::move(session), prompter);
    EntryFacts facts;
    if (!side->ReadFacts(home, facts)) {
        // A connection that broke has been reported by the side itself.
        if (state.Broken()) return Opened(OpenStatus::Stopped);
        return Opened(
            OpenStatus::Failed,
            FillIn(QCoreApplication::translate("SftpOpener", "The folder %1 does not exist on %2."),
                   {home, host}));
    }
    // The user chose the folder: it may be reached through a link.
    if (!facts.IsFolder() && (facts.attributes & kSymlinkAttribute) == 0) {
        return Opened(OpenStatus::Failed,
                      FillIn(QCoreApplication::translate("SftpOpener", "%1 on %2 is not a folder."),
                             {home, host}));
    }
    return Opened(std::move(side));
}

std::unique_ptr<RemoteSide> MakeSftpSide(const SftpConnection& connection, UnknownHostKey unknown) {
    class SftpSide : public RemoteSide {
      public:
        SftpSide(SftpConnection connection, UnknownHostKey unknown)
            : connection_(std::move(connection)), unknown_(unknown) {
            const std::string& directory = connection_.directory;
            // Entry paths are below the directory as given: the file system
            // takes a relative one below where the logon starts.
            folder_ = directory.empty() ? "./" : directory;
            if (!folder_.ends_with('/')) folder_ += '/';
        }
        SideKind Kind() const override { return SideKind::Sftp; }
        const std::string& Folder() const override { return folder_; }
        OpenResult<FileSystem> Open(Prompter& prompter,
                                    const std::atomic<int32_t>* cancel) override {
            return OpenSftpSide(connection_, prompter, cancel, unknown_);
        }

      private:
        SftpConnection connection_;
        UnknownHostKey unknown_;
        std::string folder_;
    };
    return std::make_unique<SftpSide>(connection, unknown);
}

}  // namespace ravelmoor
