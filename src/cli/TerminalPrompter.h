#pragma once

#include <string>

#include "core/engine/Prompter.h"

namespace ravelmoor {

// The command line's way of talking to the user: messages on stderr, questions
// on the terminal. A mere Enter answers the safe way: No (Cancel after a
// failure). With `assumeYes` every question is answered Yes/OK at once (after
// its text is shown), except the question about deleting for good, which
// `assumeYes` answers No unless `deleteForGood` is set too; without a
// terminal, questions are answered No.
class TerminalPrompter : public Prompter {
  public:
    explicit TerminalPrompter(bool assumeYes, bool deleteForGood = false)
        : assumeYes_(assumeYes), deleteForGood_(deleteForGood) {}

    // sync -i: every question of a batch is asked, even once the sync is
    // confirmed (before each replacement, before moving to the trash, after
    // each failure).
    void SetInteractive(bool interactive) { interactive_ = interactive; }
    // The sync was confirmed as a whole (by --yes or on the terminal): the
    // batches' own questions are answered Yes without a word, a failure is
    // said and the sync goes on. `forGood` says that deleting for good on the
    // side now being changed was part of what was confirmed (a side without
    // a trash); otherwise that question is still asked.
    void SetConfirmed(bool confirmed, bool forGood) {
        confirmed_ = confirmed;
        forGoodConfirmed_ = forGood;
    }

    void Inform(std::string_view text) override;
    void Warn(std::string_view text) override;
    bool AskOkCancel(std::string_view text) override;
    bool AskYesNo(std::string_view text) override;
    BatchAnswer AskOverwrite(std::string_view text) override;
    bool AskMoveToTrash(std::string_view text) override;
    BatchAnswer AskDeletePermanently(std::string_view text) override;

  private:
    // Whether the batches' own questions are left out.
    bool Settled() const { return confirmed_ && !interactive_; }
    // `yesWord` or `noWord`; Enter gives `noWord`.
    bool Ask(std::string_view text, std::string_view yesWord, std::string_view noWord);
    // Yes, all, no, cancel; Enter gives No.
    BatchAnswer AskBatch(std::string_view text);
    // Reads answer lines until one is understood; false without a terminal.
    bool ReadWord(std::string_view text, const std::string& choices, std::string& word);

    bool assumeYes_;
    bool deleteForGood_;
    bool interactive_ = false;
    bool confirmed_ = false;
    bool forGoodConfirmed_ = false;
};

}  // namespace ravelmoor
