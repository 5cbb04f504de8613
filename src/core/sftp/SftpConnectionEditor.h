#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/ftp/ConnectionEditing.h"
#include "core/ftp/ConnectionNames.h"
#include "core/sftp/SftpConnection.h"

namespace ravelmoor {

class Prompter;
class SftpConnectionStore;

// The rules of the "SFTP Connections" dialog without the dialog, as the FTP
// dialog has them: the name list, the fields, and what picking, editing,
// "New", "Delete" and "OK" do to them and to the store. The name follows the
// host and the directory; the checks are the store's, each naming its field.
// The dialog calls the operations for the user's own edits only and shows
// `Name()`, `Fields()` and `Names()` after each. One editor lives as long as
// the program, so the fields are kept from one opening to the next.
class SftpConnectionEditor : public ConnectionEditing {
  public:
    SftpConnectionEditor(SftpConnectionStore& store, Prompter& prompter)
        : store_(store), prompter_(prompter) {}

    // Fills the name list from the store; the kept name, when listed, is
    // picked again, else the fields are cleared as by "New".
    void Open() override;
    // Picks a listed name: the fields become the stored values.
    void PickName(std::string_view name) override;
    // The host or directory as edited (or chosen in the browser); the name
    // follows them.
    void SetHost(std::string_view host);
    void SetDirectory(std::string_view directory);
    void SetPort(int port) { fields_.port = port; }
    void SetUser(std::string_view user) { fields_.user = user; }
    void SetLogon(SftpLogon logon) { fields_.logon = logon; }
    void SetKeyFile(std::string_view keyFile) { fields_.keyFile = keyFile; }
    void SetSecret(std::string_view secret) { fields_.secret = secret; }

    // Empties the fields: port 22, logon by the SSH agent.
    void New() override;
    // Deletes the connection named `nameBoxText` (found ignoring case), its
    // secret with it; false, with a message, when it is not listed.
    bool Delete(std::string_view nameBoxText) override;
    // "OK": checks the fields, asks before changing an existing connection
    // (whose listed spelling the name then takes), writes it.
    SaveResult Save() override;

    const std::string& Name() const override { return name_; }
    const SftpConnection& Fields() const { return fields_; }
    const std::vector<std::string>& Names() const override { return names_.All(); }

  private:
    SftpConnectionStore& store_;
    Prompter& prompter_;
    ConnectionNames names_;
    std::string name_;
    SftpConnection fields_;
};

}  // namespace ravelmoor
