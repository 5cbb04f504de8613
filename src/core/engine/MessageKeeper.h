#pragma once

#include <string>
#include <string_view>

#include "core/engine/Prompter.h"

namespace ravelmoor {

// A Prompter that keeps the last fact or problem it is told instead of
// showing it, for a caller that shows it itself (a browser on its own
// thread). Questions go on to `asker` when there is one; without one the
// answer is always the safe No.
class MessageKeeper : public Prompter {
  public:
    explicit MessageKeeper(Prompter* asker = nullptr) : asker_(asker) {}

    void Inform(std::string_view text) override { text_ = text; }
    void Warn(std::string_view text) override { text_ = text; }
    bool AskOkCancel(std::string_view text) override;
    bool AskYesNo(std::string_view text) override;
    bool AskYesNoWarning(std::string_view text) override;
    bool AskYesNoDefaultNo(std::string_view text) override;

    // The kept text, which is then forgotten.
    std::string Take();

  private:
    Prompter* asker_;
    std::string text_;
};

}  // namespace ravelmoor
