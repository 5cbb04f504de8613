#include "core/remote/ConnectionStore.h"

#include <algorithm>

#include "core/settings/SettingsStore.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

// The section that remembers which notices have been given.
constexpr const char* kNoticeSection = "Warn";

}  // namespace

ConnectionStore::ConnectionStore(SettingsStore& store, const Layout& layout)
    : store_(store),
      passwords_(store.FileName(), layout.service, layout.passwordFile),
      layout_(layout) {}

std::string ConnectionStore::SectionOf(std::string_view name) const {
    return layout_.sectionPrefix + std::string(name);
}

std::vector<std::string> ConnectionStore::ConnectionNames() const {
    return store_.ValueNames(layout_.indexSection);
}

bool ConnectionStore::Lists(std::string_view name) const {
    const std::vector<std::string> names = ConnectionNames();
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string ConnectionStore::ReadPassword(std::string_view name) const {
    const auto place =
        PasswordStore::PlaceFromName(store_.ReadString(SectionOf(name), layout_.placeValue, ""));
    if (!place) return {};
    return passwords_.Read(name, *place).value_or(std::string());
}

bool ConnectionStore::KeepPassword(std::string_view name, std::string_view password,
                                   WriteResult& result,
                                   std::optional<PasswordStore::Place>& place) {
    place.reset();
    if (password.empty()) {
        passwords_.Remove(name);
        return true;
    }
    place = passwords_.Store(name, password, result.text);
    if (!place) {
        result.stored = false;
        return false;
    }
    const bool keyring = *place == PasswordStore::Place::Keyring;
    const char* notice = keyring ? layout_.keyringNotice : layout_.fileNotice;
    if (store_.ReadInt(kNoticeSection, notice, 0) == 0) {
        store_.WriteInt(kNoticeSection, notice, 1);
        result.text = keyring
                          ? Translated(layout_.context, layout_.keyringText)
                          : FillIn(QCoreApplication::translate(layout_.context, layout_.fileText),
                                   {passwords_.FilePath()});
    }
    return true;
}

void ConnectionStore::WriteIndex(std::string_view name, std::optional<PasswordStore::Place> place) {
    const std::string section = SectionOf(name);
    store_.WriteString(layout_.indexSection, name, section);
    if (place) {
        store_.WriteString(section, layout_.placeValue, PasswordStore::PlaceName(*place));
    } else {
        store_.RemoveValue(section, layout_.placeValue);
    }
}

void ConnectionStore::DeleteConnection(std::string_view name) {
    store_.RemoveSection(SectionOf(name));
    store_.RemoveValue(layout_.indexSection, name);
    passwords_.Remove(name);
}

}  // namespace ravelmoor
