#include "gui/results/ResultsStatusBar.h"

#include <QLabel>
#include <QToolButton>

#include "core/engine/Prompter.h"
#include "core/results/SelectionRules.h"
#include "gui/widgets/ElidedLabel.h"
#include "gui/widgets/FromStd.h"

namespace ravelmoor {
namespace {

constexpr int kSelectionPaneWidth = 400;

// The first sentence of a message, for a one-line display of it.
QString FirstSentence(const std::string& text) {
    const size_t end = text.find(". ");
    return FromStd(end == std::string::npos ? text.substr(0, text.find('\n'))
                                            : text.substr(0, end + 1));
}

}  // namespace

ResultsStatusBar::ResultsStatusBar(const std::string& summary, const std::string& unreadable,
                                   Prompter& prompter, QWidget* parent)
    : QStatusBar(parent), prompter_(prompter) {
    summary_ = new ElidedLabel(this, Qt::ElideRight);
    summary_->setText(FromStd(summary));
    failuresButton_ = new QToolButton(this);
    failuresButton_->setText(tr("Not done..."));
    failuresButton_->setToolTip(tr("List what the synchronisation did not copy or delete"));
    failuresButton_->setVisible(false);
    connect(failuresButton_, &QToolButton::clicked, this, &ResultsStatusBar::ShowFailures);
    unreadable_ = new ElidedLabel(this, Qt::ElideRight);
    unreadable_->setText(unreadable.empty() ? QString() : FirstSentence(unreadable));
    unreadable_->setToolTip(FromStd(unreadable));
    unreadable_->setVisible(!unreadable.empty());
    selection_ =
        new QLabel(QCoreApplication::translate("SelectionRules", kNothingSelectedText), this);
    // At least as wide as the original pane, wider where a large selection's
    // counts need it.
    selection_->setMinimumWidth(kSelectionPaneWidth);
    addWidget(summary_, 1);
    addWidget(failuresButton_);
    addWidget(unreadable_, 1);
    addPermanentWidget(selection_);
}

void ResultsStatusBar::SetSelectionText(const QString& text) {
    selection_->setText(text);
}

QString ResultsStatusBar::SelectionText() const {
    return selection_->text();
}

QString ResultsStatusBar::SummaryText() const {
    return summary_->text();
}

QString ResultsStatusBar::UnreadableFoldersText() const {
    return unreadable_->text();
}

void ResultsStatusBar::ShowSyncReport(const std::string& summary, uint64_t notDone,
                                      std::vector<std::string> failures) {
    summary_->setText(FromStd(summary));
    summary_->setToolTip(FromStd(summary));
    failures_ = std::move(failures);
    failuresButton_->setVisible(notDone > 0 || !failures_.empty());
}

void ResultsStatusBar::ShowFailures() {
    std::string text = tr("Not copied or deleted:").toStdString();
    for (const std::string& failure : failures_)
        text += "\n" + failure;
    if (failures_.empty()) {
        text += "\n" + tr("the objects whose question was answered No or Cancel.").toStdString();
    }
    prompter_.Warn(text);
}

}  // namespace ravelmoor
