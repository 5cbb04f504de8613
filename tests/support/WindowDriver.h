#pragma once

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gui/widgets/Pickers.h"

namespace ravelmoor::test {

// Runs `action` on the next window of type T that shows up, from the event
// loop, so that it also reaches a modal dialog whose exec() the test is
// blocked in. Gives up after a few seconds with a test failure and closes
// the modal window in front, so that a missing window cannot hang the test.
void WhenWindowShows(const std::function<QWidget*()>& find,
                     const std::function<void(QWidget&)>& action);

template <typename T>
T* FindVisibleWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<T*>(widget); window != nullptr && window->isVisible())
            return window;
    }
    return nullptr;
}

template <typename T>
void WhenShown(std::function<void(T&)> action) {
    WhenWindowShows([] { return FindVisibleWindow<T>(); },
                    [action](QWidget& window) { action(static_cast<T&>(window)); });
}

// The widget of type T named by its text (a button, a label, a check box).
template <typename T>
T* ChildWithText(QWidget& parent, const QString& text) {
    for (T* child : parent.findChildren<T*>()) {
        if (child->text() == text) return child;
    }
    return nullptr;
}

// Presses one of a dialog's standard buttons.
void PressButton(QWidget& dialog, QDialogButtonBox::StandardButton which);

// Replaces what an edit field holds by typing, as a user does.
void Retype(QLineEdit* edit, const std::string& text);

// Pickers that answer from a script and remember what they were asked.
class ScriptedPickers : public Pickers {
  public:
    struct Asked {
        std::string title;
        std::string initial;
    };

    // The next answers, in order; nothing means the user cancelled.
    std::vector<std::optional<std::string>> answers;
    std::vector<Asked> asked;

    std::optional<std::string> PickFolder(QWidget*, const QString& title,
                                          const std::string& start) override {
        return Next(title, start);
    }
    std::optional<std::string> PickFileToOpen(QWidget*, const FileChoice& choice) override {
        return Next(choice.title, choice.initial);
    }
    std::optional<std::string> PickFileToSave(QWidget*, const FileChoice& choice) override {
        return Next(choice.title, choice.initial);
    }

  private:
    std::optional<std::string> Next(const QString& title, const std::string& initial);
};

}  // namespace ravelmoor::test
