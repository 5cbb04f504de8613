#pragma once

#include <string>
#include <string_view>

#include "core/remote/ConnectionStore.h"
#include "core/sftp/SftpConnection.h"

namespace ravelmoor {

// The named SFTP connections of the per-user store, in sections of their own
// beside the FTP connections. Section "SftpIndex" lists the connections: one
// value per connection, named by the connection, holding "sftp_" + name. Each
// connection has its own section "sftp_" + name with the strings "Host",
// "User", "Dir", "Logon" ("agent", "key" or "password"), "KeyFile" and,
// where set, "AgentPath", and the integer "Port". A missing value reads as empty (port 22, logon by
// agent). Names are compared byte for byte and may hold any byte but CR, LF and NUL.
//
// The password or passphrase is not in the store: "SecretIn" says where it is
// kept ("keyring" or "file", see PasswordStore, under names of their own; none
// for an empty one).
class SftpConnectionStore : public ConnectionStore {
  public:
    static constexpr const char* kIndexSection = "SftpIndex";
    static constexpr const char* kSectionPrefix = "sftp_";

    explicit SftpConnectionStore(SettingsStore& store);

    // The connection listed under exactly `name`; empty when there is none.
    SftpConnection LookupConnection(std::string_view name) const;

    // Why `connection` cannot be stored under `name` (an empty name or host,
    // a port out of range, a CR, LF or NUL in a field, no key file for a key
    // logon), in words; empty when it can.
    static std::string Problem(std::string_view name, const SftpConnection& connection);

    // Checks the connection (Problem), keeps its secret, then lists `name` in
    // "SftpIndex" and writes its section.
    WriteResult WriteConnection(std::string_view name, const SftpConnection& connection);
};

}  // namespace ravelmoor
