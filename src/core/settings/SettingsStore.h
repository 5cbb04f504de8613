#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/engine/Outcome.h"

class QSettings;

namespace ravelmoor {

// Whether the store's file took the pending changes.
enum class StoreStatus { Written, NotWritten };
using StoreOutcome = Outcome<StoreStatus>;

// The per-user store of sections and typed values: an INI file kept by
// QSettings, ~/.config/KVOLT/Ravelmoor.ini (or $XDG_CONFIG_HOME/KVOLT/...).
// Fallbacks to organisation-wide or system files are off: what is read is
// exactly what this file holds.
//
// How names reach the file. QSettings reads '/' in a key as nesting (and drops
// a leading or trailing one), so a connection named `host1/pub/` would land in
// a section `ftp_host1` under the key `pub\Server`. Section and value names are
// therefore handed to QSettings byte by byte as Latin-1 characters, with '/'
// alone replaced by U+2215 (DIVISION SLASH), a character no byte can map to.
// QSettings writes every character of a key other than letters, digits, '_',
// '-' and '.' as an escape (%XX for Latin-1, %UXXXX above), so the file shows
// `[ftp_host1%U2215pub%U2215]`, and the way back is exact for any byte string,
// UTF-8 or not. Names made of letters, digits, '_', '-' and '.' appear as they
// are; nothing else in the file changes.
//
// How values keep their types. An INI file holds text, and QSettings hands
// back every plain value as a string. The store therefore writes integers as
// plain decimal text and marks a string that would read as one: a string that
// is an optional '-' followed by digits, or that starts with '@', is written
// with one '@' in front (which QSettings doubles, so "1" appears as `@@1`).
// On reading, text with a leading '@' is a string without that '@'; plain
// decimal text is an integer; anything else is a string. Strings are UTF-8 in
// the file; a string whose bytes are not valid UTF-8 is written as QSettings'
// `@ByteArray(...)` so that no byte is lost.
//
// Section and value names are never empty (QSettings has no place for an
// empty key): reads of an empty name find nothing, writes and removals of one
// do nothing.
//
// Enumeration order is stable: QSettings keeps the values of a section sorted
// by name (in the Latin-1 mapping above, that is byte order, except that a
// '/' sorts after every byte).
class SettingsStore {
  public:
    using Value = std::variant<int64_t, std::string>;

    // The per-user store of organisation "KVOLT", application "Ravelmoor".
    SettingsStore();
    // A store kept in the INI file at `path` (for a second store beside the
    // user's one).
    explicit SettingsStore(const std::string& path);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The value as stored, or nothing when it is missing.
    std::optional<Value> Read(std::string_view section, std::string_view name) const;
    // The integer, or `fallback` when the value is missing or is a string.
    int64_t ReadInt(std::string_view section, std::string_view name, int64_t fallback) const;
    // The string, or `fallback` when the value is missing. An integer (say, a
    // number typed into the file by hand) reads as its decimal text.
    std::string ReadString(std::string_view section, std::string_view name,
                           std::string_view fallback) const;

    void WriteInt(std::string_view section, std::string_view name, int64_t value);
    void WriteString(std::string_view section, std::string_view name, std::string_view value);

    // The names of the values of `section`, in the store's stable order.
    std::vector<std::string> ValueNames(std::string_view section) const;
    bool HasSection(std::string_view section) const;

    void RemoveValue(std::string_view section, std::string_view name);
    // Removes the section with all its values.
    void RemoveSection(std::string_view section);

    // Writes pending changes to the file (QSettings replaces the file as a
    // whole, so it is never half-written). NotWritten, naming the file, when
    // it could not be written.
    StoreOutcome Sync();
    std::string FileName() const;

  private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace ravelmoor
