#include "core/ftp/FtpConnectionStore.h"

#include "core/settings/SettingsStore.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

constexpr const char* kServer = "Server";
constexpr const char* kUser = "User";
constexpr const char* kPlainPassword = "Pwd";  // where older versions kept it
constexpr const char* kPasswordPlace = "PwdIn";
constexpr const char* kDirectory = "Dir";
constexpr const char* kPassive = "Passive";

}  // namespace

FtpConnectionStore::FtpConnectionStore(SettingsStore& store)
    : ConnectionStore(
          store, {kIndexSection, kSectionPrefix, kPasswordPlace, "PwdKeyring", "PwdFile",
                  "FtpConnectionStore",
                  QT_TRANSLATE_NOOP("FtpConnectionStore",
                                    "FTP passwords are kept in the desktop keyring."),
                  QT_TRANSLATE_NOOP("FtpConnectionStore",
                                    "No desktop keyring answered, so FTP passwords are kept in %1, "
                                    "which only you can read."),
                  "Ravelmoor FTP connections", "Ravelmoor.passwords"}) {}

FtpConnection FtpConnectionStore::LookupConnection(std::string_view name) const {
    return Lists(name) ? ReadConnection(name) : FtpConnection{};
}

FtpConnection FtpConnectionStore::ReadConnection(std::string_view name) const {
    const std::string section = SectionOf(name);
    FtpConnection connection;
    connection.server = store_.ReadString(section, kServer, "");
    connection.user = store_.ReadString(section, kUser, "");
    connection.password = ReadFtpPassword(name);
    connection.directory = store_.ReadString(section, kDirectory, "");
    connection.passive = store_.ReadInt(section, kPassive, 0) != 0;
    return connection;
}

std::string FtpConnectionStore::ReadFtpPassword(std::string_view name) const {
    const std::string section = SectionOf(name);
    if (!store_.Read(section, kPlainPassword)) return ReadPassword(name);
    // Left in plain text by an older version: moved out now.
    std::string password = store_.ReadString(section, kPlainPassword, "");
    std::string error;
    const auto place = password.empty() ? std::nullopt : passwords_.Store(name, password, error);
    if (password.empty() || place) {
        store_.RemoveValue(section, kPlainPassword);
        if (place) store_.WriteString(section, kPasswordPlace, PasswordStore::PlaceName(*place));
        store_.Sync();
    }
    return password;
}

FtpConnectionStore::PasswordWrite FtpConnectionStore::WriteConnection(
    std::string_view name, const FtpConnection& connection) {
    PasswordWrite result;
    std::optional<PasswordStore::Place> place;
    if (!KeepPassword(name, connection.password, result, place)) return result;
    WriteIndex(name, place);
    const std::string section = SectionOf(name);
    store_.WriteString(section, kServer, connection.server);
    store_.WriteString(section, kUser, connection.user);
    store_.RemoveValue(section, kPlainPassword);
    store_.WriteString(section, kDirectory, connection.directory);
    store_.WriteInt(section, kPassive, connection.passive ? 1 : 0);
    return result;
}

FtpConnection FtpConnectionStore::WithDefaultLogon(FtpConnection connection) {
    if (connection.user.empty()) {
        connection.user = kAnonymousUser;
        connection.password = kAnonymousPassword;
    }
    return connection;
}

}  // namespace ravelmoor
