#include "core/sftp/SftpConnectionStore.h"

#include <QCoreApplication>

#include "core/ftp/FtpConnection.h"
#include "core/settings/SettingsStore.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

constexpr const char* kHost = "Host";
constexpr const char* kPort = "Port";
constexpr const char* kUser = "User";
constexpr const char* kDirectory = "Dir";
constexpr const char* kLogon = "Logon";
constexpr const char* kKeyFile = "KeyFile";
constexpr const char* kAgentPath = "AgentPath";
constexpr const char* kSecretPlace = "SecretIn";

constexpr int kDefaultPort = 22;

const char* LogonName(SftpLogon logon) {
    switch (logon) {
        case SftpLogon::KeyFile:
            return "key";
        case SftpLogon::Password:
            return "password";
        case SftpLogon::Agent:
            break;
    }
    return "agent";
}

SftpLogon LogonFromName(std::string_view text) {
    if (text == "key") return SftpLogon::KeyFile;
    if (text == "password") return SftpLogon::Password;
    return SftpLogon::Agent;
}

}  // namespace

SftpConnectionStore::SftpConnectionStore(SettingsStore& store)
    : ConnectionStore(store, {kIndexSection, kSectionPrefix, kSecretPlace, "SftpPwdKeyring",
                              "SftpPwdFile", "SftpConnectionStore",
                              QT_TRANSLATE_NOOP("SftpConnectionStore",
                                                "SFTP passwords are kept in the desktop keyring."),
                              QT_TRANSLATE_NOOP(
                                  "SftpConnectionStore",
                                  "No desktop keyring answered, so SFTP passwords are kept in %1, "
                                  "which only you can read."),
                              "Ravelmoor SFTP connections", "Ravelmoor.sftp-passwords"}) {}

SftpConnection SftpConnectionStore::LookupConnection(std::string_view name) const {
    if (!Lists(name)) return {};
    const std::string section = SectionOf(name);
    SftpConnection connection;
    connection.host = store_.ReadString(section, kHost, "");
    connection.port = static_cast<int>(store_.ReadInt(section, kPort, kDefaultPort));
    connection.user = store_.ReadString(section, kUser, "");
    connection.directory = store_.ReadString(section, kDirectory, "");
    connection.logon = LogonFromName(store_.ReadString(section, kLogon, ""));
    connection.keyFile = store_.ReadString(section, kKeyFile, "");
    connection.agentPath = store_.ReadString(section, kAgentPath, "");
    connection.secret = ReadPassword(name);
    return connection;
}

std::string SftpConnectionStore::Problem(std::string_view name, const SftpConnection& connection) {
    if (name.empty())
        return FillIn(QCoreApplication::translate("SftpConnectionStore", "Empty connection name"));
    if (connection.host.empty())
        return FillIn(QCoreApplication::translate("SftpConnectionStore", "Empty host name"));
    if (connection.port < 1 || connection.port > 65535) {
        return FillIn(QCoreApplication::translate("SftpConnectionStore",
                                                  "The port %1 is not between 1 and 65535."),
                      {std::to_string(connection.port)});
    }
    for (const auto& [field, message] :
         {std::pair{std::string_view(connection.host),
                    QT_TRANSLATE_NOOP("SftpConnectionStore",
                                      "The host name holds a line break or NUL character.")},
          std::pair{std::string_view(connection.user),
                    QT_TRANSLATE_NOOP("SftpConnectionStore",
                                      "The user name holds a line break or NUL character.")},
          std::pair{std::string_view(connection.directory),
                    QT_TRANSLATE_NOOP("SftpConnectionStore",
                                      "The directory holds a line break or NUL character.")},
          std::pair{std::string_view(connection.keyFile),
                    QT_TRANSLATE_NOOP("SftpConnectionStore",
                                      "The key file holds a line break or NUL character.")},
          std::pair{std::string_view(connection.agentPath),
                    QT_TRANSLATE_NOOP("SftpConnectionStore",
                                      "The agent path holds a line break or NUL character.")},
          std::pair{std::string_view(connection.secret),
                    QT_TRANSLATE_NOOP("SftpConnectionStore",
                                      "The password holds a line break or NUL character.")},
          std::pair{
              std::string_view(name),
              QT_TRANSLATE_NOOP("SftpConnectionStore",
                                "The connection name holds a line break or NUL character.")}}) {
        if (HasLineBreak(field)) return Translated("SftpConnectionStore", message);
    }
    if (connection.logon == SftpLogon::KeyFile && connection.keyFile.empty()) {
        return FillIn(QCoreApplication::translate("SftpConnectionStore",
                                                  "A logon by key file needs the key file."));
    }
    return {};
}

SftpConnectionStore::WriteResult SftpConnectionStore::WriteConnection(
    std::string_view name, const SftpConnection& connection) {
    WriteResult result;
    result.text = Problem(name, connection);
    if (!result.text.empty()) {
        result.stored = false;
        return result;
    }
    // An agent logon has no secret; one left from another logon goes.
    const std::string& secret =
        connection.logon == SftpLogon::Agent ? std::string() : connection.secret;
    std::optional<PasswordStore::Place> place;
    if (!KeepPassword(name, secret, result, place)) return result;
    WriteIndex(name, place);
    const std::string section = SectionOf(name);
    store_.WriteString(section, kHost, connection.host);
    store_.WriteInt(section, kPort, connection.port);
    store_.WriteString(section, kUser, connection.user);
    store_.WriteString(section, kDirectory, connection.directory);
    store_.WriteString(section, kLogon, LogonName(connection.logon));
    store_.WriteString(section, kKeyFile, connection.keyFile);
    if (connection.agentPath.empty()) {
        store_.RemoveValue(section, kAgentPath);
    } else {
        store_.WriteString(section, kAgentPath, connection.agentPath);
    }
    return result;
}

}  // namespace ravelmoor
