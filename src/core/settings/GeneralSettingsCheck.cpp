#include "core/settings/GeneralSettingsCheck.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QString>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>

#include "core/sync/DifferenceViewerCommand.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

bool ProgramExists(const std::string& typed) {
    const std::string program = ViewerProgramPath(typed);
    const QString path = QString::fromStdString(program);
    if (QFileInfo::exists(path)) return true;
    return program.find('/') == std::string::npos &&
           !QStandardPaths::findExecutable(path).isEmpty();
}

GeneralSettingsCheck Refuse(std::string message, GeneralSettingsField field) {
    return GeneralSettingsCheck(field, std::move(message));
}

}  // namespace

GeneralSettingsCheck CheckGeneralSettings(const GeneralSettingsInput& input) {
    std::string chunk = input.chunkText;
    while (!chunk.empty() && std::isspace(static_cast<unsigned char>(chunk.back())))
        chunk.pop_back();
    const bool digitsOnly = std::all_of(chunk.begin(), chunk.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
    if (chunk.empty() || !digitsOnly) {
        return Refuse(FillIn(QCoreApplication::translate("GeneralSettingsCheck",
                                                         "The minimum for the byte value is 0")),
                      GeneralSettingsField::Chunk);
    }
    uint32_t crcChunk = 0;
    const auto [end, error] = std::from_chars(chunk.data(), chunk.data() + chunk.size(), crcChunk);
    if (error != std::errc() || end != chunk.data() + chunk.size()) {
        return Refuse(FillIn(QCoreApplication::translate("GeneralSettingsCheck",
                                                         "The maximum for the byte value is %1"),
                             {std::to_string(std::numeric_limits<uint32_t>::max())}),
                      GeneralSettingsField::Chunk);
    }

    const std::string& parameters = input.comparisonParameters;
    if (parameters.find(R"("%s1")") == std::string::npos ||
        parameters.find(R"("%s2")") == std::string::npos) {
        return Refuse(
            FillIn(QCoreApplication::translate(
                "GeneralSettingsCheck",
                R"(Parameters must contain at least the text "%s1" and "%s2". These constants will identify the two files to compare.)")),
            GeneralSettingsField::Parameters);
    }

    if (!input.comparisonProgram.empty() && !ProgramExists(input.comparisonProgram)) {
        return Refuse(
            FillIn(QCoreApplication::translate("GeneralSettingsCheck", "Can not find \"%1\""),
                   {input.comparisonProgram}),
            GeneralSettingsField::Program);
    }

    GeneralSettingsCheck accepted;
    accepted.crcChunk = crcChunk;
    return accepted;
}

}  // namespace ravelmoor
