#include "gui/progress/ProgressDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/engine/ComparisonRun.h"
#include "core/text/Translated.h"
#include "gui/widgets/BackgroundPainter.h"
#include "gui/widgets/ElidedLabel.h"
#include "gui/widgets/IconButton.h"

namespace ravelmoor {
namespace {

// Sets a text and draws it at once, so that the display keeps up even when
// events are slow to come.
void ShowNow(QLabel* label, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (label->text() == shown) return;
    label->setText(shown);
    label->repaint();
}

QLabel* CountLabel(QWidget* parent) {
    auto* label = new QLabel(QString::fromLatin1(ProgressTicker::kNoCountText), parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("000,000,000")));
    return label;
}

}  // namespace

ProgressDialog::ProgressDialog(ComparisonRun& run, QWidget* parent) : QDialog(parent), run_(run) {
    UseBackground(*this);
    setWindowTitle(tr("Comparing Files and Sub-Folders..."));
    setModal(true);

    sourceCount_ = CountLabel(this);
    targetCount_ = CountLabel(this);
    phase_ = new QLabel(
        QCoreApplication::translate("ProgressTicker", ProgressTicker::kCollectingText), this);
    phase_->setAlignment(Qt::AlignCenter);
    bytes_ = new QLabel(this);
    bytes_->setAlignment(Qt::AlignCenter);
    bytes_->setMinimumHeight(bytes_->fontMetrics().height());
    currentItem_ = new ElidedLabel(this);
    currentItem_->setText(QStringLiteral("..."));
    currentItem_->setMinimumWidth(currentItem_->fontMetrics().averageCharWidth() * 60);
    cancel_ = MakeIconButton(tr("Cancel"), "cancel", {}, this);
    cancel_->setDefault(true);
    connect(cancel_, &QPushButton::clicked, this, &ProgressDialog::reject);

    auto* counts = new QGridLayout;
    counts->addWidget(new QLabel(tr("Number of Files/Folders in Source:"), this), 0, 0);
    counts->addWidget(sourceCount_, 0, 1);
    counts->addWidget(new QLabel(tr("Number of Files/Folders in Target:"), this), 1, 0);
    counts->addWidget(targetCount_, 1, 1);
    counts->setColumnStretch(0, 1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(cancel_);
    buttonRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(counts);
    layout->addSpacing(6);
    layout->addWidget(phase_);
    layout->addWidget(bytes_);
    layout->addWidget(currentItem_);
    layout->addSpacing(6);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(&timer_, &QTimer::timeout, this, &ProgressDialog::OnTick);
    timer_.start(ProgressTicker::kPeriodMilliseconds);
}

void ProgressDialog::reject() {
    if (!cancel_->isEnabled()) return;
    cancel_->setEnabled(false);
    cancel_->repaint();
    run_.Cancel();
    ticker_.OnCancel();
}

void ProgressDialog::OnTick() {
    const ProgressUpdate update = ticker_.Tick(ProgressSnapshot::Take(run_));
    if (update.close) {
        timer_.stop();
        done(QDialog::Rejected);
        return;
    }
    if (update.interruptSides) run_.InterruptSides();
    ShowNow(sourceCount_, update.sourceCount);
    ShowNow(targetCount_, update.targetCount);
    if (update.currentItem) currentItem_->setText(QString::fromStdString(*update.currentItem));
    if (update.bytesText) ShowNow(bytes_, *update.bytesText);
    if (update.phaseText) ShowNow(phase_, Translated("ProgressTicker", *update.phaseText));
}

}  // namespace ravelmoor
