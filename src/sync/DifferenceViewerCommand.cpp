#include "sync/DifferenceViewerCommand.h"

namespace ravelmoor {

std::string DifferenceCommandTemplate(std::string_view program, std::string_view parameters) {
    std::string whole;
    whole.reserve(program.size() + 1 + parameters.size());
    whole.append(program).append(" ").append(parameters);
    std::string text;
    text.reserve(whole.size());
    for (size_t i = 0; i < whole.size(); ++i) {
        text.push_back(whole[i]);
        const std::string_view rest = std::string_view(whole).substr(i);
        if (rest.starts_with("%s1") || rest.starts_with("%s2")) {
            text.push_back('s');
            i += 2;
        }
    }
    return text;
}

std::string FillDifferenceCommand(std::string_view commandTemplate, std::string_view sourcePath,
                                  std::string_view targetPath) {
    std::string text;
    text.reserve(commandTemplate.size() + sourcePath.size() + targetPath.size());
    int filled = 0;
    for (size_t i = 0; i < commandTemplate.size(); ++i) {
        const char c = commandTemplate[i];
        const char next = i + 1 < commandTemplate.size() ? commandTemplate[i + 1] : '\0';
        if (c == '%' && next == 's') {
            if (filled == 0) text.append(sourcePath);
            if (filled == 1) text.append(targetPath);
            ++filled;
            ++i;
        } else if (c == '%' && next == '%') {
            text.push_back('%');
            ++i;
        } else {
            text.push_back(c);
        }
    }
    return text;
}

}  // namespace ravelmoor
