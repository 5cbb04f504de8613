#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>
#include <atomic>
#include <functional>
#include <thread>

#include "gui/widgets/GuiPrompter.h"
#include "support/WindowDriver.h"

namespace ravelmoor {
namespace {

// Asks from another thread, as the comparison and sync workers do, answers
// the box that comes up on this thread, and returns what the asker got.
template <typename Answer>
Answer AskFromWorker(const std::function<Answer()>& ask,
                     const std::function<void(QMessageBox&)>& answer) {
    Answer result{};
    std::atomic<bool> done{false};
    test::WhenShown<QMessageBox>([&](QMessageBox& box) { answer(box); });
    std::thread worker([&] {
        result = ask();
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 10000));
    worker.join();
    return result;
}

TEST(GuiPrompter, BatchQuestionsFromAWorker_AnswerByButtonAndEscape) {
    GuiPrompter prompter;
    struct Case {
        const char* what;
        std::function<BatchAnswer()> ask;
        std::function<void(QMessageBox&)> answer;
        BatchAnswer expected;
    };
    const auto click = [](QMessageBox::StandardButton which) {
        return [which](QMessageBox& box) {
            EXPECT_EQ(box.icon(), QMessageBox::Question);
            EXPECT_EQ(box.text(), "Replace x?");
            box.button(which)->click();
        };
    };
    const auto escape = [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); };
    const auto overwrite = [&] { return prompter.AskOverwrite("Replace x?"); };
    const auto deleteForGood = [&] { return prompter.AskDeletePermanently("Delete x for good?"); };
    const std::vector<Case> cases = {
        {"overwrite, yes to all", overwrite, click(QMessageBox::YesToAll), BatchAnswer::YesToAll},
        {"overwrite, no", overwrite, click(QMessageBox::No), BatchAnswer::No},
        {"overwrite, escape", overwrite, escape, BatchAnswer::Cancel},
        {"delete for good, escape", deleteForGood, escape, BatchAnswer::No},
        {"delete for good, enter", deleteForGood,
         [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }, BatchAnswer::No},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AskFromWorker(c.ask, c.answer), c.expected) << c.what;

    EXPECT_FALSE(AskFromWorker<bool>(
        [&] { return prompter.AskMoveToTrash("Move x to the trash?"); }, escape));
}

}  // namespace
}  // namespace ravelmoor
