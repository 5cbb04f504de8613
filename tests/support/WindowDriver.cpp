#include "support/WindowDriver.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

namespace ravelmoor::test {
namespace {

constexpr int kPollMilliseconds = 10;
constexpr int kGiveUpMilliseconds = 10000;

}  // namespace

void PressButton(QWidget& dialog, QDialogButtonBox::StandardButton which) {
    dialog.findChild<QDialogButtonBox*>()->button(which)->click();
}

void Retype(QLineEdit* edit, const std::string& text) {
    edit->clear();
    QTest::keyClicks(edit, QString::fromStdString(text));
}

void WhenWindowShows(const std::function<QWidget*()>& find,
                     const std::function<void(QWidget&)>& action) {
    auto* timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, find, action] {
        if (QWidget* window = find()) {
            timer->stop();
            timer->deleteLater();
            action(*window);
            return;
        }
        if (clock->elapsed() > kGiveUpMilliseconds) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "the expected window did not show up";
            if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                modal->done(QDialog::Rejected);
        }
    });
    timer->start(kPollMilliseconds);
}

std::optional<std::string> ScriptedPickers::Next(const QString& title, const std::string& initial) {
    asked.push_back({title.toStdString(), initial});
    if (answers.empty()) return std::nullopt;
    std::optional<std::string> answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}

}  // namespace ravelmoor::test
