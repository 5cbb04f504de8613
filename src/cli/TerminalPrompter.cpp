#include "cli/TerminalPrompter.h"

#include "cli/Terminal.h"
#include "core/engine/CaseFold.h"

namespace ravelmoor {
namespace {

bool IsWord(const std::string& answer, std::string_view word) {
    return answer == word || answer == word.substr(0, 1);
}

}  // namespace

void TerminalPrompter::Inform(std::string_view text) {
    Terminal::Info(text);
}

void TerminalPrompter::Warn(std::string_view text) {
    Terminal::Message(text);
}

bool TerminalPrompter::AskOkCancel(std::string_view text) {
    // Asked after something went wrong, so it is said even when quiet.
    if (assumeYes_) {
        Terminal::Message(text);
        return true;
    }
    return Ask(text, "ok", "cancel");
}

bool TerminalPrompter::AskYesNo(std::string_view text) {
    return Ask(text, "yes", "no");
}

BatchAnswer TerminalPrompter::AskOverwrite(std::string_view text) {
    return AskBatch(text, /*emptyIsNo=*/false);
}

BatchAnswer TerminalPrompter::AskDeletePermanently(std::string_view text) {
    if (assumeYes_ && !deleteForGood_) {
        // Nothing goes for good on a blanket Yes: the object stays.
        Terminal::Message(std::string(text) + " No (add --delete-permanently to delete it).");
        return BatchAnswer::No;
    }
    return AskBatch(text, /*emptyIsNo=*/true);
}

bool TerminalPrompter::ReadWord(std::string_view text, const std::string& choices,
                                std::string& word) {
    const std::string question = std::string(text) + " [" + choices + "] ";
    std::string answer;
    if (!Terminal::Ask(question, answer)) {
        Terminal::Message(text);
        return false;
    }
    word = FoldCase(answer);
    return true;
}

bool TerminalPrompter::Ask(std::string_view text, std::string_view yesWord,
                           std::string_view noWord) {
    if (assumeYes_) {
        Terminal::Info(text);
        return true;
    }
    const std::string choices = std::string(yesWord) + "/" + std::string(noWord);
    for (;;) {
        std::string word;
        if (!ReadWord(text, choices, word)) return false;
        if (IsWord(word, yesWord)) return true;
        if (IsWord(word, noWord)) return false;
    }
}

BatchAnswer TerminalPrompter::AskBatch(std::string_view text, bool emptyIsNo) {
    if (assumeYes_) {
        // Said once: the rest of the batch goes the same way without a word.
        Terminal::Info(text);
        return BatchAnswer::YesToAll;
    }
    const std::string choices = emptyIsNo ? "yes/all/NO/cancel" : "yes/all/no/cancel";
    for (;;) {
        std::string word;
        if (!ReadWord(text, choices, word)) return BatchAnswer::No;
        if (emptyIsNo && word.empty()) return BatchAnswer::No;
        if (IsWord(word, "yes")) return BatchAnswer::Yes;
        if (IsWord(word, "all")) return BatchAnswer::YesToAll;
        if (IsWord(word, "no")) return BatchAnswer::No;
        if (IsWord(word, "cancel")) return BatchAnswer::Cancel;
    }
}

}  // namespace ravelmoor
