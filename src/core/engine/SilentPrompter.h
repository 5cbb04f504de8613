#pragma once

#include <string_view>

#include "core/engine/Prompter.h"

namespace ravelmoor {

// The prompter of a side whose caller takes every failure from the outcomes
// its calls return (a directory browser's connection): what the side would
// tell goes to no one, and every question is answered with the safe No.
class SilentPrompter : public Prompter {
  public:
    void Inform(std::string_view /*text*/) override {}
    void Warn(std::string_view /*text*/) override {}
    bool AskOkCancel(std::string_view /*text*/) override { return false; }
    bool AskYesNo(std::string_view /*text*/) override { return false; }
};

}  // namespace ravelmoor
