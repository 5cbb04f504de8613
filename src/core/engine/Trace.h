#pragma once

#include <QLoggingCategory>

namespace ravelmoor {

// The engine's diagnostic trace. Silent unless switched on with
// QT_LOGGING_RULES="ravelmoor.trace.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcTrace)

// Writes one printf-style trace line (the text carries its own "\n").
void TraceLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace ravelmoor
