#include "core/engine/Trace.h"

#include <cstdarg>
#include <cstdio>

namespace ravelmoor {

Q_LOGGING_CATEGORY(lcTrace, "ravelmoor.trace", QtWarningMsg)

void TraceLine(const char* format, ...) {
    if (!lcTrace().isDebugEnabled()) return;
    char line[512];
    va_list args;
    va_start(args, format);
    // The analyser loses track of va_start here and reports an uninitialised list.
    std::vsnprintf(line, sizeof line, format, args);  // NOLINT(clang-analyzer-valist.Uninitialized)
    va_end(args);
    qCDebug(lcTrace).noquote() << QString::fromUtf8(line).trimmed();
}

}  // namespace ravelmoor
