#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "core/engine/Prompter.h"

namespace ravelmoor::test {

// Records every text the system shows and answers questions from a script.
// Safe to use from the comparison worker thread.
class ScriptedPrompter : public Prompter {
  public:
    struct Shown {
        // "inform", "warn", "notify", "okcancel", "yesno", "yesno-warning", "overwrite",
        // "trash", "permanent"
        std::string kind;
        std::string text;
    };

    // Answers for the next questions, in order; when the script is empty the
    // default answer is given.
    void Script(std::initializer_list<bool> answers);
    void SetDefaultAnswer(bool answer) { defaultAnswer_ = answer; }
    // Answers for the next overwrite and delete-for-good questions; when that
    // script is empty they get Yes or No after the default answer.
    void ScriptBatch(std::initializer_list<BatchAnswer> answers);

    void Inform(std::string_view text) override { Record("inform", text); }
    void Warn(std::string_view text) override { Record("warn", text); }
    void Notify(std::string_view text) override { Record("notify", text); }
    bool AskOkCancel(std::string_view text) override { return Ask("okcancel", text); }
    bool AskYesNo(std::string_view text) override { return Ask("yesno", text); }
    bool AskYesNoWarning(std::string_view text) override { return Ask("yesno-warning", text); }
    bool AskMoveToTrash(std::string_view text) override { return Ask("trash", text); }
    BatchAnswer AskOverwrite(std::string_view text) override { return AskBatch("overwrite", text); }
    BatchAnswer AskDeletePermanently(std::string_view text) override {
        return AskBatch("permanent", text);
    }

    std::vector<Shown> Log() const;
    std::vector<std::string> Texts() const;

  private:
    void Record(const char* kind, std::string_view text);
    // Records the question and gives the next scripted answer.
    bool Ask(const char* kind, std::string_view text);
    BatchAnswer AskBatch(const char* kind, std::string_view text);

    mutable std::mutex lock_;
    std::vector<Shown> log_;
    std::deque<bool> answers_;
    std::deque<BatchAnswer> batchAnswers_;
    bool defaultAnswer_ = true;
};

}  // namespace ravelmoor::test
