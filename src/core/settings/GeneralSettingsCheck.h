#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "core/engine/Outcome.h"

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

// Where a refusal sends the focus; None is the acceptance.
enum class GeneralSettingsField { None, Chunk, Parameters, Program };

// Accepted, or refused with the reason and the field at fault.
struct GeneralSettingsCheck : Outcome<GeneralSettingsField> {
    // Spelt out, as WriteOutcome's are: clang-tidy takes an inherited
    // explicit constructor for an implicit one.
    GeneralSettingsCheck() = default;
    explicit GeneralSettingsCheck(GeneralSettingsField field, std::string why)
        : Outcome(field, std::move(why)) {}

    uint32_t crcChunk = 0;  // the chunk text as a number, once accepted
};

// The checks of OK, in order, stopping at the first refusal: the chunk must
// be given (and fit in 32 bits), the parameters must hold "%s1" and "%s2"
// with their double quotes, and a program, when one is named, must exist (a
// bare name is also looked for on the PATH, as it is started from there).
GeneralSettingsCheck CheckGeneralSettings(const GeneralSettingsInput& input);

}  // namespace ravelmoor
