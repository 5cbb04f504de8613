#include "core/sftp/SftpOpener.h"

#include "core/engine/FileEntry.h"
#include "core/engine/Prompter.h"
#include "core/sftp/SftpFileSystem.h"

namespace ravelmoor {

std::unique_ptr<SftpFileSystem> OpenSftpSide(const SftpConnection& connection, Prompter& prompter,
                                             const std::atomic<int32_t>* cancel,
                                             UnknownHostKey unknown) {
    auto session = std::make_unique<SftpSession>(connection, cancel);
    const std::string where = " Server:" + session->HostText() + " User:" + connection.user;
    const SftpOutcome outcome = session->Connect(prompter, unknown);
    if (outcome != SftpOutcome::Done) {
        if (!session->ErrorText().empty()) prompter.Warn(session->ErrorText() + where);
        return nullptr;
    }
    const std::string home = session->HomeFolder();
    const SftpSession& state = *session;
    auto side = std::make_unique<SftpFileSystem>(std::move(session), prompter);
    EntryFacts facts;
    if (!side->ReadFacts(home, facts)) {
        // A connection that broke has been reported by the side itself.
        if (!state.Broken()) prompter.Warn("The folder " + home + " does not exist." + where);
        return nullptr;
    }
    // The user chose the folder: it may be reached through a link.
    if (!facts.IsFolder() && (facts.attributes & kSymlinkAttribute) == 0) {
        prompter.Warn("The folder " + home + " is not a folder." + where);
        return nullptr;
    }
    return side;
}

}  // namespace ravelmoor
