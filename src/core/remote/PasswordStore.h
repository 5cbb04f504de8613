#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ravelmoor {

// Where the passwords of FTP connections are kept, never in the settings
// file: in the desktop's Secret Service keyring when one answers on the
// session bus, otherwise in a file of mode 0600 beside the settings file
// (`FilePath`), one line per connection, "NAME PASSWORD" with both
// percent-encoded. A password is found by its connection's name, any bytes.
//
// The keyring is reached through QtKeychain, whose calls need an event loop:
// each call here runs one (and makes the program's core application object
// when there is none yet), so they belong on the main thread.
class PasswordStore {
  public:
    enum class Place { Keyring, File };

    // `settingsFile` is the path of the settings file; the password file is
    // kept beside it. `service` names the keyring entries and `fileName` the
    // file, so that each kind of connection keeps its own names apart.
    explicit PasswordStore(const std::string& settingsFile,
                           std::string service = "Ravelmoor FTP connections",
                           std::string_view fileName = "Ravelmoor.passwords");

    // Keeps `password` for `name`, in the keyring when one answers, else in
    // the file (and removes it from the other place). Nothing when the file
    // cannot be written either: `error` then says why.
    std::optional<Place> Store(std::string_view name, std::string_view password,
                               std::string& error);
    // The password kept for `name` in `place`; nothing when it is not there.
    std::optional<std::string> Read(std::string_view name, Place place) const;
    // Forgets the password of `name` in both places.
    void Remove(std::string_view name);

    const std::string& FilePath() const { return filePath_; }
    // How a place is written in the settings file, and back.
    static const char* PlaceName(Place place);
    static std::optional<Place> PlaceFromName(std::string_view text);

  private:
    bool ReadFileLines(std::string& text) const;
    bool WriteFile(std::string_view name, const std::string* password, std::string& error) const;

    std::string service_;
    std::string filePath_;
};

}  // namespace ravelmoor
