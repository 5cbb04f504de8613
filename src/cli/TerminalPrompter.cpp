#include "cli/TerminalPrompter.h"

#include "cli/Terminal.h"
#include "core/engine/CaseFold.h"

namespace ravelmoor {
namespace {

bool IsWord(const std::string& answer, std::string_view word) {
    return answer == word || answer == word.substr(0, 1);
}

// A failure's text without its request to press a button, for when nobody is
// asked.
std::string_view WithoutButtons(std::string_view text) {
    const size_t press = text.find(" Press \"OK\"");
    return press == std::string_view::npos ? text : text.substr(0, press);
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
    if (assumeYes_ || Settled()) {
        Terminal::Message(WithoutButtons(text));
        return true;
    }
    return Ask(text, "ok", "cancel");
}

bool TerminalPrompter::AskYesNo(std::string_view text) {
    if (assumeYes_) {
        Terminal::Info(text);
        return true;
    }
    return Ask(text, "yes", "no");
}

BatchAnswer TerminalPrompter::AskOverwrite(std::string_view text) {
    if (Settled()) return BatchAnswer::YesToAll;
    if (assumeYes_) {
        // Said once: the rest of the batch goes the same way without a word.
        Terminal::Info(text);
        return BatchAnswer::YesToAll;
    }
    return AskBatch(text);
}

bool TerminalPrompter::AskMoveToTrash(std::string_view text) {
    return Settled() || AskYesNo(text);
}

BatchAnswer TerminalPrompter::AskDeletePermanently(std::string_view text) {
    if (assumeYes_ && !deleteForGood_) {
        // Nothing goes for good on a blanket Yes: the object stays.
        Terminal::Message(std::string(text) + " No (add --delete-permanently to delete it).");
        return BatchAnswer::No;
    }
    if (assumeYes_ || (Settled() && forGoodConfirmed_)) return BatchAnswer::YesToAll;
    return AskBatch(text);
}

bool TerminalPrompter::ReadWord(std::string_view text, const std::string& choices,
                                std::string& word) {
    const std::string question = std::string(text) + " [" + choices + "] ";
    std::string answer;
    if (!Terminal::Ask(question, answer)) {
        // Without a terminal the question was not shown: say what it was.
        if (!Terminal::StdinIsTerminal()) Terminal::Message(text);
        return false;
    }
    word = FoldCase(answer);
    return true;
}

bool TerminalPrompter::Ask(std::string_view text, std::string_view yesWord,
                           std::string_view noWord) {
    std::string noShown(noWord);
    for (char& c : noShown)
        c = static_cast<char>(c - 'a' + 'A');
    const std::string choices = std::string(yesWord) + "/" + noShown;
    for (;;) {
        std::string word;
        if (!ReadWord(text, choices, word)) return false;
        if (word.empty()) return false;
        if (IsWord(word, yesWord)) return true;
        if (IsWord(word, noWord)) return false;
    }
}

BatchAnswer TerminalPrompter::AskBatch(std::string_view text) {
    for (;;) {
        std::string word;
        if (!ReadWord(text, "yes/all/NO/cancel", word)) return BatchAnswer::No;
        if (word.empty()) return BatchAnswer::No;
        if (IsWord(word, "yes")) return BatchAnswer::Yes;
        if (IsWord(word, "all")) return BatchAnswer::YesToAll;
        if (IsWord(word, "no")) return BatchAnswer::No;
        if (IsWord(word, "cancel")) return BatchAnswer::Cancel;
    }
}

}  // namespace ravelmoor
