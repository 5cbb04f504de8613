#include "core/text/Translated.h"

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

}  // namespace ravelmoor
