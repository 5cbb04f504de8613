#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ravelmoor {

// What a connections dialog asks of the editor that holds its rules (the FTP
// and the SFTP one): the name list, the name shown, and what opening,
// picking, "New", "Delete" and "OK" do.
class ConnectionEditing {
  public:
    enum class SaveResult {
        Refused,    // a field failed its check (said); the dialog stays open
        Declined,   // the user did not want to change the existing connection
        Unchanged,  // the connection is stored with these values; nothing written
        Saved,      // written; the dialog closes
    };

    virtual ~ConnectionEditing() = default;

    // Fills the name list from the store; the kept name, when listed, is
    // picked again, else the fields are cleared as by "New".
    virtual void Open() = 0;
    // Picks a listed name: the fields become the stored values.
    virtual void PickName(std::string_view name) = 0;
    virtual void New() = 0;
    // Deletes the connection named `nameBoxText` (found ignoring case); false,
    // with a message, when it is not listed.
    virtual bool Delete(std::string_view nameBoxText) = 0;
    // "OK": checks the fields, asks before changing an existing connection
    // (whose listed spelling the name then takes), writes it.
    virtual SaveResult Save() = 0;

    virtual const std::string& Name() const = 0;
    // The name list, sorted as the name box sorts (ignoring case).
    virtual const std::vector<std::string>& Names() const = 0;

  protected:
    ConnectionEditing() = default;
    ConnectionEditing(const ConnectionEditing&) = default;
    ConnectionEditing& operator=(const ConnectionEditing&) = default;
};

}  // namespace ravelmoor
