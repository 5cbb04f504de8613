#include "core/engine/JsonText.h"

#include <QByteArray>
#include <QString>
#include <cstdio>

#include "core/engine/NameEscape.h"

namespace ravelmoor {

void AppendJsonString(std::string& out, std::string_view text) {
    std::string lossy;
    if (!IsValidUtf8(text)) {
        lossy = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
                    .toUtf8()
                    .toStdString();
        text = lossy;
    }
    out.push_back('"');
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out.push_back(c);
        }
    }
    out.push_back('"');
}

void AppendName(std::string& out, std::string_view key, std::string_view bytes) {
    AppendJsonString(out, key);
    out.push_back(':');
    AppendJsonString(out, bytes);
    if (IsValidUtf8(bytes)) return;
    out.push_back(',');
    AppendJsonString(out, std::string(key) + "_bytes");
    out.push_back(':');
    const QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    AppendJsonString(out, raw.toBase64().toStdString());
}

}  // namespace ravelmoor
