#pragma once

#include <QCoreApplication>
#include <QStatusBar>
#include <cstdint>
#include <string>
#include <vector>

class QLabel;
class QToolButton;

namespace ravelmoor {

class ElidedLabel;
class Prompter;

// The results window's status bar: the settings summary (after a
// synchronisation, what it did), "Not done..." listing the objects it left
// as they were, the note about folders that could not be read, and the
// selection's counts, as wide as they need.
class ResultsStatusBar : public QStatusBar {
    Q_DECLARE_TR_FUNCTIONS(ravelmoor::ResultsWindow)

  public:
    // `unreadable` is the comparison's warning about folders it could not
    // read (empty when there were none); messages go through `prompter`.
    ResultsStatusBar(const std::string& summary, const std::string& unreadable, Prompter& prompter,
                     QWidget* parent);

    void SetSelectionText(const QString& text);
    QString SelectionText() const;
    QString SummaryText() const;
    QString UnreadableFoldersText() const;
    QToolButton* FailuresButton() const { return failuresButton_; }
    QLabel* SelectionLabel() const { return selection_; }

    // After a synchronisation: what was done, and a button that lists what
    // was not (`notDone` objects, `failures` naming them).
    void ShowSyncReport(const std::string& summary, uint64_t notDone,
                        std::vector<std::string> failures);

  private:
    void ShowFailures();

    Prompter& prompter_;
    ElidedLabel* summary_ = nullptr;
    QToolButton* failuresButton_ = nullptr;
    std::vector<std::string> failures_;
    ElidedLabel* unreadable_ = nullptr;
    QLabel* selection_ = nullptr;
};

}  // namespace ravelmoor
