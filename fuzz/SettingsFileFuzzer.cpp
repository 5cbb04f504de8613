// Reads arbitrary bytes as a settings file. Whatever they say, memory stays in
// proportion to their size, and a file that reads writes back the same fields.
#include <QBuffer>
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/settings/SettingsFile.h"

using namespace ravelmoor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    Settings settings;
    if (!DeserializeSettings(buffer, settings)) return 0;
    // What was read is made of the file's bytes: never more of them.
    const std::string again = SerializeSettings(settings);
    if (again.size() > size + 64) std::abort();
    QByteArray written(again.data(), static_cast<qsizetype>(again.size()));
    QBuffer rereadBuffer(&written);
    rereadBuffer.open(QIODevice::ReadOnly);
    Settings reread;
    if (!DeserializeSettings(rereadBuffer, reread) || !(reread == settings)) std::abort();
    return 0;
}
