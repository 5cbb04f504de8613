#include "gui/results/PreviewWindow.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include "gui/results/ResultsListModel.h"
#include "gui/widgets/BackgroundPainter.h"
#include "gui/widgets/IconButton.h"
#include "gui/widgets/ReadableColour.h"

namespace ravelmoor {
namespace {

constexpr int kTickMilliseconds = 30;
// Lines added to the box per tick, so that the window stays responsive.
constexpr size_t kLinesPerTick = 2000;
constexpr int kSmallestWidth = 760;
constexpr int kSmallestHeight = 420;

}  // namespace

void PreviewQueue::Progress(size_t begun, size_t total) {
    total_.store(total);
    begun_.store(begun);
}

void PreviewQueue::AddLine(const PreviewLine& line) {
    std::unique_lock<std::mutex> guard(lock_);
    roomMade_.wait(guard, [this] { return waiting_.size() < kMostWaiting || stop_.load(); });
    if (stop_.load()) return;
    waiting_.push_back(line);
}

std::vector<PreviewLine> PreviewQueue::Take(size_t most) {
    std::vector<PreviewLine> lines;
    {
        std::lock_guard<std::mutex> guard(lock_);
        const size_t count = std::min(most, waiting_.size());
        lines.reserve(count);
        for (size_t i = 0; i < count; ++i) {
            lines.push_back(std::move(waiting_.front()));
            waiting_.pop_front();
        }
    }
    roomMade_.notify_all();
    return lines;
}

size_t PreviewQueue::Waiting() {
    std::lock_guard<std::mutex> guard(lock_);
    return waiting_.size();
}

void PreviewQueue::Release() {
    { std::lock_guard<std::mutex> guard(lock_); }
    roomMade_.notify_all();
}

PreviewWindow::PreviewWindow(SyncSides sides, SyncPlan plan, QWidget* parent)
    : QDialog(parent), sides_(std::move(sides)), plan_(std::move(plan)) {
    UseBackground(*this);
    setWindowTitle(tr("Preview"));
    setModal(true);
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);

    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setUndoRedoEnabled(false);
    text_->setEnabled(false);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, static_cast<int>(std::min<size_t>(plan_.Total(), INT32_MAX)));
    progress_->setValue(0);
    progress_->setTextVisible(true);
    progress_->setFormat(tr("Building preview list... (press \"Close Preview\" to stop)"));
    close_ = MakeIconButton(tr("Close Preview"), "cancel", {}, this);
    close_->setDefault(true);
    connect(close_, &QPushButton::clicked, this, &PreviewWindow::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_, 1);
    layout->addWidget(progress_);
    layout->addLayout(buttons);
    // Most of the results window, where the long paths fit better.
    QSize size(kSmallestWidth, kSmallestHeight);
    if (parent != nullptr) size = size.expandedTo(parent->size() * 0.9);
    resize(size);

    connect(&ticker_, &QTimer::timeout, this, &PreviewWindow::OnTick);
    ticker_.start(kTickMilliseconds);
    builder_ = std::thread([this] {
        BuildPreview(sides_, plan_, queue_, &stop_);
        builderDone_.store(true);
    });
}

PreviewWindow::~PreviewWindow() {
    Stop();
}

void PreviewWindow::reject() {
    Stop();
    QDialog::reject();
}

void PreviewWindow::Stop() {
    stop_.store(true);
    queue_.Release();
    if (builder_.joinable()) builder_.join();
    ticker_.stop();
    finished_ = true;
    text_->setEnabled(true);
}

QColor PreviewWindow::ColourOf(PreviewColour colour) {
    switch (colour) {
        case PreviewColour::Green:
            return ResultsListModel::ColourOf(CellColour::Green);
        case PreviewColour::Red:
            return ResultsListModel::ColourOf(CellColour::Red);
        case PreviewColour::Blue:
            return ReadableOn(QColor(Qt::blue), QGuiApplication::palette().color(QPalette::Base));
        case PreviewColour::WindowText:
            break;
    }
    return ResultsListModel::ColourOf(CellColour::WindowText);
}

void PreviewWindow::OnTick() {
    // Read before taking the lines: once it is set, every line is waiting.
    const bool done = builderDone_.load();
    Append(queue_.Take(kLinesPerTick));
    progress_->setValue(static_cast<int>(std::min<size_t>(queue_.Begun(), INT32_MAX)));
    if (done && queue_.Waiting() == 0) {
        ticker_.stop();
        finished_ = true;
        text_->setEnabled(true);
    }
}

void PreviewWindow::Append(const std::vector<PreviewLine>& lines) {
    if (lines.empty()) return;
    QTextCursor cursor(text_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    for (const PreviewLine& line : lines) {
        if (!text_->document()->isEmpty()) cursor.insertBlock();
        if (line.isTotal) cursor.insertBlock();
        for (const PreviewRun& run : line.runs) {
            QTextCharFormat format;
            format.setForeground(ColourOf(run.colour));
            cursor.insertText(QString::fromStdString(run.text), format);
        }
    }
    cursor.endEditBlock();
    text_->verticalScrollBar()->setValue(text_->verticalScrollBar()->maximum());
}

}  // namespace ravelmoor
