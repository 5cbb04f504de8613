#include "gui/progress/TaskProgressDialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/progress/BackgroundTask.h"
#include "gui/widgets/BackgroundPainter.h"
#include "gui/widgets/ElidedLabel.h"
#include "gui/widgets/FromStd.h"
#include "gui/widgets/IconButton.h"

namespace ravelmoor {
namespace {

constexpr int kTickMilliseconds = 100;
constexpr int kLineCharacters = 70;

}  // namespace

TaskProgressDialog::TaskProgressDialog(BackgroundTask& task, const QString& title, QWidget* over)
    : QDialog(over), task_(task), line_(new ElidedLabel(this)) {
    UseBackground(*this);
    setWindowTitle(title);
    setModal(true);
    line_->setMinimumWidth(line_->fontMetrics().averageCharWidth() * kLineCharacters);
    cancel_ = MakeIconButton(tr("Cancel"), "cancel", {}, this);
    cancel_->setDefault(true);
    connect(cancel_, &QPushButton::clicked, this, &TaskProgressDialog::reject);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(cancel_);
    buttonRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(line_);
    layout->addSpacing(6);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(&timer_, &QTimer::timeout, this, &TaskProgressDialog::OnTick);
    timer_.start(kTickMilliseconds);
}

void TaskProgressDialog::Show(std::string_view text) {
    const std::lock_guard<std::mutex> guard(lock_);
    latest_.assign(text);
    fresh_ = true;
}

void TaskProgressDialog::reject() {
    if (!cancel_->isEnabled()) return;
    cancel_->setEnabled(false);
    task_.Cancel();
}

QString TaskProgressDialog::Line() const {
    return line_->text();
}

void TaskProgressDialog::OnTick() {
    std::string text;
    {
        const std::lock_guard<std::mutex> guard(lock_);
        if (!fresh_) return;
        fresh_ = false;
        text.swap(latest_);
    }
    line_->setText(FromStd(text));
}

}  // namespace ravelmoor
