#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/remote/PasswordStore.h"

namespace ravelmoor {

class SettingsStore;

// What the FTP and the SFTP connection stores share in the per-user store:
// an index section with one value per connection, named by the connection
// and holding its section's name (written, never read back); a section per
// connection named by a prefix and the name; and the password kept outside
// the settings file (see PasswordStore), with a value in the section saying
// where, and a notice the first time each place is used. Names are compared
// byte for byte. The store of each kind reads and writes its own fields.
class ConnectionStore {
  public:
    struct WriteResult {
        bool stored = true;  // false: nothing written, `text` says why
        std::string text;    // otherwise the notice of where the password is
                             // kept, the first time each place is used; else empty
    };

    // The names listed in the index, in the store's order (none without it).
    std::vector<std::string> ConnectionNames() const;
    // Removes the section, the index value and the password.
    void DeleteConnection(std::string_view name);

  protected:
    // The names one kind of connection uses.
    struct Layout {
        const char* indexSection;
        const char* sectionPrefix;
        const char* placeValue;     // in the section: where the password is kept
        const char* keyringNotice;  // in section "Warn": the notices given
        const char* fileNotice;
        const char* context;      // the translation context of the two notices,
        const char* keyringText;  // marked with QT_TRANSLATE_NOOP
        const char* fileText;     // %1: the password file
        const char* service;      // the password's keyring entries and file
        const char* passwordFile;
    };

    ConnectionStore(SettingsStore& store, const Layout& layout);

    std::string SectionOf(std::string_view name) const;
    // True when the index lists exactly `name`.
    bool Lists(std::string_view name) const;
    // The password where the section says it is kept; empty when nowhere.
    std::string ReadPassword(std::string_view name) const;
    // Keeps `password` for `name` (an empty one is removed) and says where in
    // `place`; false, with `result` saying why, when it is kept nowhere.
    bool KeepPassword(std::string_view name, std::string_view password, WriteResult& result,
                      std::optional<PasswordStore::Place>& place);
    // Lists `name` in the index and records in its section where its password
    // is kept (`place`; none removes the record).
    void WriteIndex(std::string_view name, std::optional<PasswordStore::Place> place);

    SettingsStore& store_;
    mutable PasswordStore passwords_;

  private:
    Layout layout_;
};

}  // namespace ravelmoor
