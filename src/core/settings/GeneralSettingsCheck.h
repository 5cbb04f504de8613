#pragma once

#include <cstdint>
#include <string>

namespace ravelmoor {

// What the "General Settings" dialog holds when OK is pressed.
struct GeneralSettingsInput {
    bool ignoreTwoSeconds = false;
    bool ignoreSixtySeconds = false;
    bool ignoreOneHour = false;
    std::string chunkText;
    std::string comparisonProgram;
    std::string comparisonParameters;
};

// Where a refusal sends the focus.
enum class GeneralSettingsField { None, Chunk, Parameters, Program };

struct GeneralSettingsCheck {
    std::string message;  // empty: accepted
    GeneralSettingsField field = GeneralSettingsField::None;
    uint32_t crcChunk = 0;  // the chunk text as a number, once accepted

    bool Accepted() const { return message.empty(); }
};

// The checks of OK, in order, stopping at the first refusal: the chunk must
// be given (and fit in 32 bits), the parameters must hold "%s1" and "%s2"
// with their double quotes, and a program, when one is named, must exist (a
// bare name is also looked for on the PATH, as it is started from there).
GeneralSettingsCheck CheckGeneralSettings(const GeneralSettingsInput& input);

}  // namespace ravelmoor
