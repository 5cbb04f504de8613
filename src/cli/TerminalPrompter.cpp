#include "cli/TerminalPrompter.h"

#include <string>

#include "cli/Terminal.h"
#include "engine/CaseFold.h"

namespace ravelmoor {

void TerminalPrompter::Inform(std::string_view text) {
    Terminal::Message(text);
}

void TerminalPrompter::Warn(std::string_view text) {
    Terminal::Message(text);
}

bool TerminalPrompter::AskOkCancel(std::string_view text) {
    return Ask(text, "ok", "cancel");
}

bool TerminalPrompter::AskYesNo(std::string_view text) {
    return Ask(text, "yes", "no");
}

bool TerminalPrompter::Ask(std::string_view text, std::string_view yesWord,
                           std::string_view noWord) {
    if (assumeYes_) {
        Terminal::Message(text);
        return true;
    }
    const std::string question =
        std::string(text) + " [" + std::string(yesWord) + "/" + std::string(noWord) + "] ";
    for (;;) {
        std::string answer;
        if (!Terminal::Ask(question, answer)) {
            Terminal::Message(text);
            return false;
        }
        const std::string word = FoldCase(answer);
        if (word == yesWord || word == yesWord.substr(0, 1)) return true;
        if (word == noWord || word == noWord.substr(0, 1)) return false;
    }
}

}  // namespace ravelmoor
