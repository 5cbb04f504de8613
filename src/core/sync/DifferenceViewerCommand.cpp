#include "core/sync/DifferenceViewerCommand.h"

#include <QProcess>
#include <QStringList>

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

std::string ViewerProgramPath(std::string_view program) {
    if (program.size() >= 2 && program.front() == '"' && program.back() == '"')
        program = program.substr(1, program.size() - 2);
    return std::string(program);
}

ViewerCommand MakeViewerCommand(std::string_view program, std::string_view parameters,
                                std::string_view sourcePath, std::string_view targetPath) {
    ViewerCommand command;
    command.program = ViewerProgramPath(program);
    command.text = FillDifferenceCommand(DifferenceCommandTemplate(program, parameters), sourcePath,
                                         targetPath);
    // The placeholders are counted across the words, so the position rule
    // holds whatever the quoting.
    const QStringList words =
        QProcess::splitCommand(QString::fromStdString(std::string(parameters)));
    int filled = 0;
    for (const QString& word : words) {
        const std::string text = word.toStdString();
        std::string argument;
        argument.reserve(text.size());
        for (size_t i = 0; i < text.size(); ++i) {
            const std::string_view rest = std::string_view(text).substr(i);
            if (rest.starts_with("%s1") || rest.starts_with("%s2")) {
                if (filled == 0) argument.append(sourcePath);
                if (filled == 1) argument.append(targetPath);
                ++filled;
                i += 2;
            } else if (rest.starts_with("%%")) {
                argument.push_back('%');
                ++i;
            } else {
                argument.push_back(text[i]);
            }
        }
        command.arguments.push_back(std::move(argument));
    }
    return command;
}

}  // namespace ravelmoor
