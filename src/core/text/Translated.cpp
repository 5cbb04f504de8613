#include "core/text/Translated.h"

#include <climits>

#include "core/text/Formatting.h"

namespace ravelmoor {

std::string FillIn(const QString& pattern, std::initializer_list<std::string_view> args) {
    const std::string text = pattern.toStdString();
    std::string filled;
    filled.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const auto number = static_cast<size_t>(next - '0');
        if (text[i] == '%' && next >= '1' && next <= '9' && number <= args.size()) {
            filled += *(args.begin() + number - 1);
            ++i;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

std::string Translated(const char* context, std::string_view text) {
    return QCoreApplication::translate(context, std::string(text).c_str()).toStdString();
}

std::string TranslatedCount(const char* context, const char* one, const char* many,
                            uint64_t count) {
    // Plural rules look at small counts and at the last two digits; a count
    // beyond an int keeps those digits on a large number.
    const int chooser = count <= INT_MAX ? static_cast<int>(count)
                                         : static_cast<int>(1'000'000'000 + count % 1'000'000);
    QString pattern = QCoreApplication::translate(context, many, nullptr, chooser);
    if (count == 1 && pattern == QString::fromUtf8(many)) pattern = QString::fromUtf8(one);
    return FillIn(pattern, {FormatSize(count)});
}

}  // namespace ravelmoor
