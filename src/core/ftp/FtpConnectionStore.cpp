#include "core/ftp/FtpConnectionStore.h"

#include "core/settings/SettingsStore.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

constexpr const char* kServer = "Server";
constexpr const char* kUser = "User";
constexpr const char* kPlainPassword = "Pwd";  // where older versions kept it
constexpr const char* kPasswordPlace = "PwdIn";
// Section and values that remember which notices have been given.
constexpr const char* kNoticeSection = "Warn";
constexpr const char* kKeyringNotice = "PwdKeyring";
constexpr const char* kFileNotice = "PwdFile";
constexpr const char* kDirectory = "Dir";
constexpr const char* kPassive = "Passive";

}  // namespace

FtpConnectionStore::FtpConnectionStore(SettingsStore& store)
    : store_(store), passwords_(store.FileName()) {}

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
    connection.password = ReadPassword(name);
    connection.directory = store_.ReadString(section, kDirectory, "");
    connection.passive = store_.ReadInt(section, kPassive, 0) != 0;
    return connection;
}

std::string FtpConnectionStore::ReadPassword(std::string_view name) const {
    const std::string section = SectionOf(name);
    if (store_.Read(section, kPlainPassword)) {
        // Left in plain text by an older version: moved out now.
        std::string password = store_.ReadString(section, kPlainPassword, "");
        std::string error;
        const auto place =
            password.empty() ? std::nullopt : passwords_.Store(name, password, error);
        if (password.empty() || place) {
            store_.RemoveValue(section, kPlainPassword);
            if (place)
                store_.WriteString(section, kPasswordPlace, PasswordStore::PlaceName(*place));
            store_.Sync();
        }
        return password;
    }
    const auto place = PasswordStore::PlaceFromName(store_.ReadString(section, kPasswordPlace, ""));
    if (!place) return {};
    return passwords_.Read(name, *place).value_or(std::string());
}

FtpConnectionStore::PasswordWrite FtpConnectionStore::WriteConnection(
    std::string_view name, const FtpConnection& connection) {
    const std::string section = SectionOf(name);
    PasswordWrite result;
    std::optional<PasswordStore::Place> place;
    if (connection.password.empty()) {
        passwords_.Remove(name);
    } else {
        place = passwords_.Store(name, connection.password, result.text);
        if (!place) {
            result.stored = false;
            return result;
        }
        const char* notice = *place == PasswordStore::Place::Keyring ? kKeyringNotice : kFileNotice;
        if (store_.ReadInt(kNoticeSection, notice, 0) == 0) {
            store_.WriteInt(kNoticeSection, notice, 1);
            result.text =
                *place == PasswordStore::Place::Keyring
                    ? FillIn(QCoreApplication::translate(
                          "FtpConnectionStore", "FTP passwords are kept in the desktop keyring."))
                    : FillIn(QCoreApplication::translate("FtpConnectionStore",
                                                         "No desktop keyring answered, so FTP "
                                                         "passwords are kept in %1, which only "
                                                         "you can read."),
                             {passwords_.FilePath()});
        }
    }
    store_.WriteString(kIndexSection, name, section);
    store_.WriteString(section, kServer, connection.server);
    store_.WriteString(section, kUser, connection.user);
    store_.RemoveValue(section, kPlainPassword);
    if (place) {
        store_.WriteString(section, kPasswordPlace, PasswordStore::PlaceName(*place));
    } else {
        store_.RemoveValue(section, kPasswordPlace);
    }
    store_.WriteString(section, kDirectory, connection.directory);
    store_.WriteInt(section, kPassive, connection.passive ? 1 : 0);
    return result;
}

void FtpConnectionStore::DeleteConnection(std::string_view name) {
    store_.RemoveSection(SectionOf(name));
    store_.RemoveValue(kIndexSection, name);
    passwords_.Remove(name);
}

FtpConnection FtpConnectionStore::WithDefaultLogon(FtpConnection connection) {
    if (connection.user.empty()) {
        connection.user = kAnonymousUser;
        connection.password = kAnonymousPassword;
    }
    return connection;
}

}  // namespace ravelmoor
