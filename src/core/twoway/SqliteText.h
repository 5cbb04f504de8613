#pragma once

#include <sqlite3.h>

#include <string_view>

namespace ravelmoor {

// Binds `text` (bytes, copied) to parameter `index` of `statement`; an
// empty view is an empty text, never NULL.
inline void BindText(sqlite3_stmt* statement, int index, std::string_view text) {
    sqlite3_bind_text(statement, index, text.data() == nullptr ? "" : text.data(),
                      static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

// The bytes of `column` in the current row of `statement`, valid until the
// statement moves on.
inline std::string_view ColumnText(sqlite3_stmt* statement, int column) {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, column));
    return {data == nullptr ? "" : data,
            static_cast<size_t>(sqlite3_column_bytes(statement, column))};
}

}  // namespace ravelmoor
