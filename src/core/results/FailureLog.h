#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/engine/Prompter.h"

namespace ravelmoor {

// Passes every message on to the user and keeps the warnings (what failed)
// for the list the window shows after the synchronisation.
class FailureLog : public Prompter {
  public:
    explicit FailureLog(Prompter& user) : user_(user) {}

    void Inform(std::string_view text) override { user_.Inform(text); }
    void Warn(std::string_view text) override {
        failures_.emplace_back(text);
        user_.Warn(text);
    }
    void Notify(std::string_view text) override { user_.Notify(text); }
    bool AskOkCancel(std::string_view text) override { return user_.AskOkCancel(text); }
    bool AskYesNo(std::string_view text) override { return user_.AskYesNo(text); }
    bool AskYesNoWarning(std::string_view text) override { return user_.AskYesNoWarning(text); }
    bool AskYesNoDefaultNo(std::string_view text) override { return user_.AskYesNoDefaultNo(text); }
    BatchAnswer AskOverwrite(std::string_view text) override { return user_.AskOverwrite(text); }
    bool AskMoveToTrash(std::string_view text) override { return user_.AskMoveToTrash(text); }
    BatchAnswer AskDeletePermanently(std::string_view text) override {
        return user_.AskDeletePermanently(text);
    }

    const std::vector<std::string>& Failures() const { return failures_; }

  private:
    Prompter& user_;
    std::vector<std::string> failures_;
};

}  // namespace ravelmoor
