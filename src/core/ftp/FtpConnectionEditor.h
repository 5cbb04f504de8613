#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/ftp/ConnectionEditing.h"
#include "core/ftp/ConnectionNames.h"
#include "core/ftp/FtpConnection.h"

namespace ravelmoor {

class FtpConnectionStore;
class Prompter;

// Sorts connection names as the dialog's name list shows them: ignoring case,
// then byte order.
void SortConnectionNames(std::vector<std::string>& names);

// A connection's name: its server followed by its directory, as they are.
std::string ConnectionNameFor(std::string_view server, std::string_view directory);

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
class FtpConnectionEditor : public ConnectionEditing {
  public:
    FtpConnectionEditor(FtpConnectionStore& store, Prompter& prompter)
        : store_(store), prompter_(prompter) {}

    // Fills the name list from the store; the kept name, when listed, is
    // picked again, else the fields are cleared as by "New".
    void Open() override;

    // Picks a listed name: the fields become the stored values.
    void PickName(std::string_view name) override;
    // The server or directory as edited (or the directory chosen in the FTP
    // directory browser); the name follows them.
    void SetServer(std::string_view server);
    void SetDirectory(std::string_view directory);
    void SetUser(std::string_view user) { fields_.user = user; }
    void SetPassword(std::string_view password) { fields_.password = password; }
    void SetPassive(bool passive) { fields_.passive = passive; }

    // Empties the fields; a new connection uses passive data connections,
    // which most servers behind NAT need.
    void New() override;
    // Deletes the connection named `nameBoxText` (found ignoring case) from
    // the store and the list; false, with a message, when it is not listed.
    bool Delete(std::string_view nameBoxText) override;
    // "OK": checks the fields, asks before changing an existing connection
    // (whose listed spelling the name then takes), writes it.
    SaveResult Save() override;

    const std::string& Name() const override { return name_; }
    const FtpConnection& Fields() const { return fields_; }
    // The name list, sorted as the name box sorts (ignoring case).
    const std::vector<std::string>& Names() const override { return names_.All(); }

  private:
    FtpConnectionStore& store_;
    Prompter& prompter_;
    ConnectionNames names_;
    std::string name_;
    FtpConnection fields_;
};

}  // namespace ravelmoor
