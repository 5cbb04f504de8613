#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ravelmoor {

class SettingsStore;

// The recent texts of a folder box, most recent first, kept in a section of
// the store with one value per entry named "0", "1", ...
class FolderHistory {
  public:
    static constexpr const char* kSourceSection = "LS";
    static constexpr const char* kTargetSection = "LT";
    static constexpr size_t kMaxEntries = 6;

    explicit FolderHistory(std::string section) : section_(std::move(section)) {}

    // Appends every value of the section, in the store's order.
    void Load(const SettingsStore& store);
    // Deletes the section and writes it again from the entries.
    void Save(SettingsStore& store) const;

    // Moves `text` to the top: an entry equal to it ignoring case goes, the
    // oldest entries go until there is room, and `text` becomes the first.
    void AddToHistory(std::string_view text);

    const std::vector<std::string>& Entries() const { return entries_; }

  private:
    std::string section_;
    std::vector<std::string> entries_;
};

}  // namespace ravelmoor
