#pragma once

#include <string>
#include <string_view>

namespace ravelmoor {

// JSON text written straight into a string, for documents too large for a
// document object model.

// Appends `text` as a JSON string; a byte sequence that is not valid UTF-8
// becomes U+FFFD.
void AppendJsonString(std::string& out, std::string_view text);

// Appends `"key":` and the name as text; where its bytes are not valid UTF-8
// the text is lossy and `"key_bytes":` follows with the bytes themselves in
// base64, so that the name can be got back exactly.
void AppendName(std::string& out, std::string_view key, std::string_view bytes);

}  // namespace ravelmoor
