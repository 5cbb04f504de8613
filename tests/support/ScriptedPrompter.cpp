#include "support/ScriptedPrompter.h"

namespace ravelmoor::test {

void ScriptedPrompter::Script(std::initializer_list<bool> answers) {
    std::lock_guard<std::mutex> guard(lock_);
    answers_.assign(answers.begin(), answers.end());
}

void ScriptedPrompter::ScriptBatch(std::initializer_list<BatchAnswer> answers) {
    std::lock_guard<std::mutex> guard(lock_);
    batchAnswers_.assign(answers.begin(), answers.end());
}

std::vector<ScriptedPrompter::Shown> ScriptedPrompter::Log() const {
    std::lock_guard<std::mutex> guard(lock_);
    return log_;
}

std::vector<std::string> ScriptedPrompter::Texts() const {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<std::string> texts;
    for (const auto& shown : log_)
        texts.push_back(shown.text);
    return texts;
}

void ScriptedPrompter::Record(const char* kind, std::string_view text) {
    std::lock_guard<std::mutex> guard(lock_);
    log_.push_back({kind, std::string(text)});
}

bool ScriptedPrompter::Ask(const char* kind, std::string_view text) {
    Record(kind, text);
    std::lock_guard<std::mutex> guard(lock_);
    if (answers_.empty()) return defaultAnswer_;
    const bool answer = answers_.front();
    answers_.pop_front();
    return answer;
}

BatchAnswer ScriptedPrompter::AskBatch(const char* kind, std::string_view text) {
    Record(kind, text);
    std::lock_guard<std::mutex> guard(lock_);
    if (batchAnswers_.empty()) return defaultAnswer_ ? BatchAnswer::Yes : BatchAnswer::No;
    const BatchAnswer answer = batchAnswers_.front();
    batchAnswers_.pop_front();
    return answer;
}

}  // namespace ravelmoor::test
