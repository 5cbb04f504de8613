#pragma once

#include <QCoreApplication>
#include <QString>
#include <cstdint>
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

// A phrase about a count in the user's language, in the plural form its
// translation takes for `count`. `many` is the English plural, marked with
// QT_TRANSLATE_N_NOOP(context, ...); `one` the English singular. %1 in either
// stands for the count, written by FormatSize: the count goes in as %1 rather
// than %n so that it keeps the user's digit grouping and may pass an int.
// Without a translation the English `one` (count 1) or `many` is used.
std::string TranslatedCount(const char* context, const char* one, const char* many, uint64_t count);

}  // namespace ravelmoor
