#include "ftp/FtpConnectionStore.h"

#include "app/SettingsStore.h"

namespace ravelmoor {
namespace {

constexpr const char* kServer = "Server";
constexpr const char* kUser = "User";
constexpr const char* kPassword = "Pwd";
constexpr const char* kDirectory = "Dir";
constexpr const char* kPassive = "Passive";

}  // namespace

std::string FtpConnectionStore::SectionOf(std::string_view name) {
    return kSectionPrefix + std::string(name);
}

std::vector<std::string> FtpConnectionStore::ConnectionNames() const {
    return store_.ValueNames(kIndexSection);
}

FtpConnection FtpConnectionStore::LookupConnection(std::string_view name) const {
    for (const std::string& listed : ConnectionNames()) {
        if (listed == name) return ReadConnection(name);
    }
    return {};
}

FtpConnection FtpConnectionStore::ReadConnection(std::string_view name) const {
    const std::string section = SectionOf(name);
    FtpConnection connection;
    connection.server = store_.ReadString(section, kServer, "");
    connection.user = store_.ReadString(section, kUser, "");
    connection.password = store_.ReadString(section, kPassword, "");
    connection.directory = store_.ReadString(section, kDirectory, "");
    connection.passive = store_.ReadInt(section, kPassive, 0) != 0;
    return connection;
}

void FtpConnectionStore::WriteConnection(std::string_view name, const FtpConnection& connection) {
    const std::string section = SectionOf(name);
    store_.WriteString(kIndexSection, name, section);
    store_.WriteString(section, kServer, connection.server);
    store_.WriteString(section, kUser, connection.user);
    store_.WriteString(section, kPassword, connection.password);
    store_.WriteString(section, kDirectory, connection.directory);
    store_.WriteInt(section, kPassive, connection.passive ? 1 : 0);
}

void FtpConnectionStore::DeleteConnection(std::string_view name) {
    store_.RemoveSection(SectionOf(name));
    store_.RemoveValue(kIndexSection, name);
}

FtpConnection FtpConnectionStore::WithDefaultLogon(FtpConnection connection) {
    if (connection.user.empty()) {
        connection.user = kAnonymousUser;
        connection.password = kAnonymousPassword;
    }
    return connection;
}

}  // namespace ravelmoor
