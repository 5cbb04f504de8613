#pragma once

#include <string_view>

namespace ravelmoor {

// The answers to a question about one object of a batch of copies or
// deletions.
enum class BatchAnswer { Yes, YesToAll, No, Cancel };

// How core code talks to the user. The desktop program shows message boxes
// (from any thread: a worker waits for the answer), the command line writes to
// stderr and reads answers from the terminal or its flags, and tests record
// every text. Texts are passed exactly as the system words them.
class Prompter {
  public:
    virtual ~Prompter() = default;

    // A fact, with the information icon.
    virtual void Inform(std::string_view text) = 0;
    // A problem, with the exclamation icon and OK.
    virtual void Warn(std::string_view text) = 0;
    // A fact that needs the user's eye, with the exclamation icon and OK;
    // not an error (the command line says it as a fact).
    virtual void Notify(std::string_view text) { Inform(text); }
    // A question with OK and Cancel; true for OK.
    virtual bool AskOkCancel(std::string_view text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool AskYesNo(std::string_view text) = 0;
    // A question with Yes and No that warns (exclamation icon); true for Yes.
    virtual bool AskYesNoWarning(std::string_view text) { return AskYesNo(text); }

    // A Yes/No question whose safe answer, No, is the one Enter gives.
    virtual bool AskYesNoDefaultNo(std::string_view text) { return AskYesNo(text); }

    // Before a copy replaces an existing object: Yes, Yes to all, No, Cancel.
    virtual BatchAnswer AskOverwrite(std::string_view text) {
        return AskYesNo(text) ? BatchAnswer::Yes : BatchAnswer::No;
    }
    // Before objects are moved to the trash; true for Yes.
    virtual bool AskMoveToTrash(std::string_view text) { return AskYesNo(text); }
    // Where an object cannot go to the trash: delete it for good? The answer
    // that a mere Enter or a closed box gives is No.
    virtual BatchAnswer AskDeletePermanently(std::string_view text) {
        return AskYesNo(text) ? BatchAnswer::Yes : BatchAnswer::No;
    }
};

}  // namespace ravelmoor
