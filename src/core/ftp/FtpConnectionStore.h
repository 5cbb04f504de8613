#pragma once

#include <string>
#include <string_view>

#include "core/ftp/FtpConnection.h"
#include "core/remote/ConnectionStore.h"

namespace ravelmoor {

// The named FTP connections of the per-user store. Section "Index" lists the
// connections: one value per connection, named by the connection, holding
// "ftp_" + name (written, never read back). Each connection has its own
// section "ftp_" + name with the string values "Server", "User", "Pwd" and
// "Dir", and the integer "Passive" (1 for passive data connections, 0 for
// active ones). A missing value reads as empty (or as active, the mode of
// connections stored before there was a choice). Names are compared
// byte for byte and may hold any byte, '/' included.
//
// Passwords are not in the store: the connection's "PwdIn" says where its
// password is kept ("keyring" or "file", see PasswordStore; none for an empty
// password). A password that an older version left in plain text as "Pwd"
// moves out the first time it is read.
class FtpConnectionStore : public ConnectionStore {
  public:
    static constexpr const char* kIndexSection = "Index";
    static constexpr const char* kSectionPrefix = "ftp_";
    // The default logon used in place of an empty user.
    static constexpr const char* kAnonymousUser = "anonymous";
    static constexpr const char* kAnonymousPassword = "vornadel@";

    // What became of the password when a connection was written.
    using PasswordWrite = WriteResult;

    explicit FtpConnectionStore(SettingsStore& store);

    // The connection listed under exactly `name`; every field empty when
    // there is none.
    FtpConnection LookupConnection(std::string_view name) const;
    // The values of section "ftp_" + name, whether "Index" lists it or not.
    FtpConnection ReadConnection(std::string_view name) const;

    // Keeps the password, then lists `name` in "Index" and writes its section.
    PasswordWrite WriteConnection(std::string_view name, const FtpConnection& connection);

    // The record a comparison logs on with: an empty user becomes the default
    // logon (the stored record is not changed).
    static FtpConnection WithDefaultLogon(FtpConnection connection);

  private:
    std::string ReadFtpPassword(std::string_view name) const;
};

}  // namespace ravelmoor
