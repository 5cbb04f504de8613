#pragma once

#include <string>

#include "core/engine/Prompter.h"

namespace ravelmoor {

// The command line's way of talking to the user: messages on stderr, questions
// on the terminal. With `assumeYes` every question is answered Yes/OK at once
// (after its text is shown), except the question about deleting for good,
// which `assumeYes` answers No unless `deleteForGood` is set too; without a
// terminal, questions are answered No.
class TerminalPrompter : public Prompter {
  public:
    explicit TerminalPrompter(bool assumeYes, bool deleteForGood = false)
        : assumeYes_(assumeYes), deleteForGood_(deleteForGood) {}

    void Inform(std::string_view text) override;
    void Warn(std::string_view text) override;
    bool AskOkCancel(std::string_view text) override;
    bool AskYesNo(std::string_view text) override;
    BatchAnswer AskOverwrite(std::string_view text) override;
    BatchAnswer AskDeletePermanently(std::string_view text) override;

  private:
    bool Ask(std::string_view text, std::string_view yesWord, std::string_view noWord);
    // Yes, all, no, cancel; `emptyIsNo` lets a mere Enter say No.
    BatchAnswer AskBatch(std::string_view text, bool emptyIsNo);
    // Reads answer lines until one is understood; false without a terminal.
    bool ReadWord(std::string_view text, const std::string& choices, std::string& word);

    bool assumeYes_;
    bool deleteForGood_;
};

}  // namespace ravelmoor
