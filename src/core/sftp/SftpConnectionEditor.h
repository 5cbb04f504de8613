#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/remote/ConnectionEditing.h"
#include "core/sftp/SftpConnection.h"
#include "core/sftp/SftpConnectionStore.h"

namespace ravelmoor {

// The rules of the "SFTP Connections" dialog without the dialog, as the FTP
// dialog has them: the name list, the fields, and what picking, editing,
// "New", "Delete" and "OK" do to them and to the store. The name follows the
// host and the directory; the checks are the store's, each naming its field.
// "New" starts at port 22 with logon by the SSH agent.
// The dialog calls the operations for the user's own edits only and shows
// `Name()`, `Fields()` and `Names()` after each. One editor lives as long as
// the program, so the fields are kept from one opening to the next.
class SftpConnectionEditor
    : public ConnectionEditorOf<SftpConnectionStore, SftpConnection, &SftpConnection::host> {
  public:
    SftpConnectionEditor(SftpConnectionStore& store, Prompter& prompter)
        : ConnectionEditorOf(store, prompter) {}

    void SetPort(int port) { fields_.port = port; }
    void SetUser(std::string_view user) { fields_.user = user; }
    void SetLogon(SftpLogon logon) { fields_.logon = logon; }
    void SetKeyFile(std::string_view keyFile) { fields_.keyFile = keyFile; }
    void SetSecret(std::string_view secret) { fields_.secret = secret; }

  protected:
    // The store's checks, once a secret typed for another logon is dropped
    // from a logon by the SSH agent (whose keys are its own).
    std::string Problem() override;
};

}  // namespace ravelmoor
