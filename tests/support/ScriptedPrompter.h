#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "engine/Prompter.h"

namespace ravelmoor::test {

// Records every text the system shows and answers questions from a script.
// Safe to use from the comparison worker thread.
class ScriptedPrompter : public Prompter {
  public:
    struct Shown {
        std::string kind;  // "inform", "warn", "okcancel", "yesno"
        std::string text;
    };

    // Answers for the next questions, in order; when the script is empty the
    // default answer is given.
    void Script(std::initializer_list<bool> answers);
    void SetDefaultAnswer(bool answer) { defaultAnswer_ = answer; }

    void Inform(std::string_view text) override { Record("inform", text); }
    void Warn(std::string_view text) override { Record("warn", text); }
    bool AskOkCancel(std::string_view text) override;
    bool AskYesNo(std::string_view text) override;

    std::vector<Shown> Log() const;
    std::vector<std::string> Texts() const;

  private:
    void Record(const char* kind, std::string_view text);
    bool NextAnswer();

    mutable std::mutex lock_;
    std::vector<Shown> log_;
    std::deque<bool> answers_;
    bool defaultAnswer_ = true;
};

}  // namespace ravelmoor::test
