#include "gui/progress/ProgressDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>

#include "core/engine/ComparisonRun.h"
#include "core/text/Formatting.h"
#include "core/text/Translated.h"
#include "gui/progress/BackgroundTask.h"
#include "gui/widgets/BackgroundPainter.h"
#include "gui/widgets/ElidedLabel.h"
#include "gui/widgets/FromStd.h"
#include "gui/widgets/IconButton.h"

namespace ravelmoor {
namespace {

constexpr int kLineCharacters = 70;
constexpr int kBarSteps = 1000;
// The rate says something only after a moment.
constexpr double kRateAfterSeconds = 0.5;

// Sets a text and draws it at once, so that the display keeps up even when
// events are slow to come.
void ShowNow(QLabel* label, const QString& text) {
    if (label->text() == text) return;
    label->setText(text);
    label->repaint();
}

QString Grouped(uint64_t count) {
    return FromStd(FormatSize(count));
}

QString InBytes(double bytes) {
    return FromStd(FormatBytes(bytes, true));
}

}  // namespace

ProgressDialog::ProgressDialog(BackgroundTask& task, const QString& title, QWidget* over)
    : QDialog(over), task_(task) {
    UseBackground(*this);
    setWindowTitle(title);
    setModal(true);

    figures_ = new QGridLayout;
    figures_->setColumnStretch(0, 1);
    phase_ = new QLabel(this);
    phase_->setAlignment(Qt::AlignCenter);
    phase_->hide();
    checked_ = new QLabel(this);
    checked_->setAlignment(Qt::AlignCenter);
    checked_->hide();
    bar_ = new QProgressBar(this);
    bar_->setRange(0, kBarSteps);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    line_ = new ElidedLabel(this);
    line_->setText(QStringLiteral("..."));
    line_->setMinimumWidth(line_->fontMetrics().averageCharWidth() * kLineCharacters);
    cancel_ = MakeIconButton(tr("Cancel"), "cancel", {}, this);
    cancel_->setDefault(true);
    connect(cancel_, &QPushButton::clicked, this, &ProgressDialog::reject);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(cancel_);
    buttonRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(figures_);
    layout->addWidget(phase_);
    layout->addWidget(checked_);
    layout->addSpacing(6);
    layout->addWidget(bar_);
    layout->addWidget(line_);
    layout->addSpacing(6);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(&timer_, &QTimer::timeout, this, &ProgressDialog::OnTick);
    timer_.start(ProgressTicker::kPeriodMilliseconds);
}

void ProgressDialog::AddFigure(Figure figure, const QString& label) {
    const int row = figures_->rowCount();
    auto* value = new QLabel(QStringLiteral("..."), this);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value->setTextFormat(Qt::PlainText);
    value->setMinimumWidth(
        value->fontMetrics().horizontalAdvance(QStringLiteral("0,000.0 MB of 0,000.0 MB")));
    auto* name = new QLabel(label, this);
    figures_->addWidget(name, row, 0);
    figures_->addWidget(value, row, 1);
    labels_[static_cast<size_t>(figure)] = name;
    values_[static_cast<size_t>(figure)] = value;
}

void ProgressDialog::Follow(std::function<RunSnapshot()> snapshot) {
    snapshot_ = std::move(snapshot);
    AddFigure(Figure::Objects, tr("Objects:"));
    AddFigure(Figure::Bytes, tr("Bytes:"));
    AddFigure(Figure::Rate, tr("Rate:"));
    AddFigure(Figure::TimeLeft, tr("Time left:"));
    OnTick();
}

void ProgressDialog::Follow(ComparisonRun& run) {
    comparison_ = &run;
    setWindowTitle(tr("Comparing Files and Sub-Folders..."));
    AddFigure(Figure::SourceCount, tr("Number of Files/Folders in Source:"));
    AddFigure(Figure::TargetCount, tr("Number of Files/Folders in Target:"));
    for (const Figure figure : {Figure::SourceCount, Figure::TargetCount})
        values_[static_cast<size_t>(figure)]->setText(
            QString::fromLatin1(ProgressTicker::kNoCountText));
    phase_->setText(QCoreApplication::translate("ProgressTicker", ProgressTicker::kCollectingText));
    phase_->show();
    checked_->setMinimumHeight(checked_->fontMetrics().height());
    checked_->show();
    // Nothing says how much is left: the bar moves to and fro.
    bar_->setRange(0, 0);
}

void ProgressDialog::Show(std::string_view text) {
    if (QThread::currentThread() == thread()) {
        line_->setText(FromStd(text));
        return;
    }
    const std::lock_guard<std::mutex> guard(lock_);
    latest_.assign(text);
    fresh_ = true;
}

void ProgressDialog::reject() {
    if (!cancel_->isEnabled()) return;
    cancel_->setEnabled(false);
    cancel_->repaint();
    if (comparison_ != nullptr) {
        comparison_->Cancel();
        ticker_.OnCancel();
    } else {
        task_.Cancel();
    }
}

void ProgressDialog::done(int result) {
    timer_.stop();
    OnTick();
    QDialog::done(result);
}

QString ProgressDialog::Line() const {
    return line_->text();
}

QString ProgressDialog::FigureText(Figure figure) const {
    const QLabel* value = values_[static_cast<size_t>(figure)];
    return value != nullptr && !value->isHidden() ? value->text() : QString();
}

QString ProgressDialog::PhaseText() const {
    return !phase_->isHidden() ? phase_->text() : QString();
}

void ProgressDialog::OnTick() {
    if (comparison_ != nullptr) {
        ShowComparison();
        return;
    }
    if (snapshot_) ShowRun(snapshot_());
    std::string text;
    {
        const std::lock_guard<std::mutex> guard(lock_);
        if (!fresh_) return;
        fresh_ = false;
        text.swap(latest_);
    }
    line_->setText(FromStd(text));
}

void ProgressDialog::ShowRun(const RunSnapshot& snapshot) {
    bytesShown_ = std::max(bytesShown_, snapshot.BytesDone());
    const bool byBytes = snapshot.bytesPlanned > 0;
    const double done = byBytes ? double(bytesShown_) : double(snapshot.itemsSettled);
    const double all = byBytes ? double(snapshot.bytesPlanned) : double(snapshot.itemsPlanned);
    int steps = all > 0 ? static_cast<int>(kBarSteps * std::min(1.0, done / all)) : 0;
    // Full only once every object is settled (deletions may follow the copies).
    if (snapshot.itemsSettled < snapshot.itemsPlanned) steps = std::min(steps, kBarSteps - 1);
    if (snapshot.itemsPlanned > 0 && snapshot.itemsSettled >= snapshot.itemsPlanned)
        steps = kBarSteps;
    bar_->setValue(steps);

    auto value = [this](Figure figure) { return values_[static_cast<size_t>(figure)]; };
    ShowNow(value(Figure::Objects),
            tr("%1 of %2").arg(Grouped(snapshot.itemsSettled), Grouped(snapshot.itemsPlanned)));
    value(Figure::Bytes)->setVisible(byBytes);
    labels_[static_cast<size_t>(Figure::Bytes)]->setVisible(byBytes);
    if (byBytes) {
        ShowNow(value(Figure::Bytes),
                tr("%1 of %2")
                    .arg(InBytes(double(bytesShown_)), InBytes(double(snapshot.bytesPlanned))));
    }
    QString rate = QStringLiteral("...");
    if (snapshot.seconds > kRateAfterSeconds && done > 0) {
        const double perSecond = done / snapshot.seconds;
        rate = byBytes ? InBytes(perSecond) + QStringLiteral("/s")
                       : tr("%1 objects/s").arg(QLocale::system().toString(perSecond, 'f', 1));
    }
    ShowNow(value(Figure::Rate), rate);
    const double left = snapshot.SecondsLeft();
    ShowNow(value(Figure::TimeLeft), left >= 0 && snapshot.seconds > kRateAfterSeconds
                                         ? FromStd(FormatDuration(left))
                                         : QStringLiteral("..."));
}

void ProgressDialog::ShowComparison() {
    ComparisonRun& run = *comparison_;
    const ProgressUpdate update = ticker_.Tick(ProgressSnapshot::Take(run));
    if (update.interruptSides) run.InterruptSides();
    ShowNow(values_[static_cast<size_t>(Figure::SourceCount)], FromStd(update.sourceCount));
    ShowNow(values_[static_cast<size_t>(Figure::TargetCount)], FromStd(update.targetCount));
    if (update.currentItem) line_->setText(FromStd(*update.currentItem));
    if (update.bytesText) ShowNow(checked_, FromStd(*update.bytesText));
    if (update.phaseText) ShowNow(phase_, FromStd(Translated("ProgressTicker", *update.phaseText)));
}

}  // namespace ravelmoor
