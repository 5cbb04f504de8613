#pragma once

#include <QString>
#include <string_view>

namespace ravelmoor {

// The core's texts are UTF-8; this is how they reach a widget.
inline QString FromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace ravelmoor
