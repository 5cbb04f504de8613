#pragma once

#include <QCoreApplication>
#include <QString>
#include <initializer_list>
#include <string>
#include <string_view>

namespace ravelmoor {

// The core's messages are written in English and marked for lupdate with
// QCoreApplication::translate (or QT_TRANSLATE_NOOP in tables). Only the
// desktop program installs a translator, so the command line stays English.

// `pattern` (a translated text) as UTF-8, with %1 to %9 replaced by `args` in
// one pass: an argument that itself holds "%1" stays as it is. A %N without
// an argument stays as written.
std::string FillIn(const QString& pattern, std::initializer_list<std::string_view> args = {});

// A text marked with QT_TRANSLATE_NOOP(context, ...), in the user's language.
std::string Translated(const char* context, std::string_view text);

}  // namespace ravelmoor
