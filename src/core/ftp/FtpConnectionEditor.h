#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/ftp/FtpConnection.h"
#include "core/ftp/FtpConnectionStore.h"
#include "core/remote/ConnectionEditing.h"

namespace ravelmoor {

// True when `server` + `directory` reads as a URL with a host, as it is or
// with "ftp://" in front (so "host1" with "/pub/" passes).
bool IsAcceptableFtpUrl(std::string_view server, std::string_view directory);

// The rules of the "FTP Connections" dialog without the dialog: the name list,
// the five fields, and what picking, editing, "New", "Delete" and "OK" do to
// them and to the store. The dialog binds its controls to these operations and
// shows `Name()`, `Fields()` and `Names()` after each; it calls the operations
// for the user's own edits only, not for changes it makes while showing.
// One editor lives as long as the program, so the fields are kept from one
// opening of the dialog to the next.
class FtpConnectionEditor
    : public ConnectionEditorOf<FtpConnectionStore, FtpConnection, &FtpConnection::server> {
  public:
    FtpConnectionEditor(FtpConnectionStore& store, Prompter& prompter)
        : ConnectionEditorOf(store, prompter) {}

    void SetUser(std::string_view user) { fields_.user = user; }
    void SetPassword(std::string_view password) { fields_.password = password; }
    void SetPassive(bool passive) { fields_.passive = passive; }

    // Empties the fields; a new connection uses passive data connections,
    // which most servers behind NAT need.
    void New() override;

  protected:
    std::string Problem() override;
};

}  // namespace ravelmoor
