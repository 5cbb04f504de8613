#pragma once

#include <string>

namespace ravelmoor {

// How an SFTP connection logs on.
enum class SftpLogon {
    Agent,    // the keys the user's SSH agent holds
    KeyFile,  // a private key file, with its passphrase when it has one
    Password,
};

// A named SFTP connection as stored per user: a folder on an SSH server. An
// empty `host` means "no such connection".
struct SftpConnection {
    std::string host;
    int port = 22;
    std::string user;       // empty: the local user's name, as ssh does
    std::string directory;  // absolute, or below the folder the logon starts in
    SftpLogon logon = SftpLogon::Agent;
    std::string keyFile;  // with SftpLogon::KeyFile
    // The password (SftpLogon::Password) or the key file's passphrase
    // (SftpLogon::KeyFile); kept in the keyring, never in the settings file.
    std::string secret;
    // Where the server keeps the ravelmoor program that lists and sums for
    // this side; empty: "ravelmoor" as the server's PATH finds it.
    std::string agentPath;
    // How long the server may stay silent before a call fails as timed out.
    // Not stored: always the default for stored connections.
    int timeoutSeconds = 60;

    bool IsEmpty() const { return host.empty(); }
    bool operator==(const SftpConnection&) const = default;
};

}  // namespace ravelmoor
