#include "gui/results/RecomparingWindow.h"

#include <QApplication>
#include <QVBoxLayout>

#include "gui/widgets/BackgroundPainter.h"
#include "gui/widgets/ElidedLabel.h"
#include "gui/widgets/FromStd.h"

namespace ravelmoor {
namespace {

constexpr int kRepaintMilliseconds = 50;
constexpr int kLineCharacters = 70;

}  // namespace

RecomparingWindow::RecomparingWindow(QWidget* over)
    : QDialog(over, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      line_(new ElidedLabel(this)) {
    UseBackground(*this);
    setWindowTitle(tr("Re-Comparing files..."));
    setModal(false);
    line_->setMinimumWidth(line_->fontMetrics().averageCharWidth() * kLineCharacters);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(line_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->activate();
    if (over != nullptr) move(over->geometry().center() - rect().center());
    show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sinceRepaint_.start();
}

void RecomparingWindow::Show(std::string_view text) {
    line_->setText(FromStd(text));
    if (sinceRepaint_.elapsed() < kRepaintMilliseconds) return;
    line_->repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sinceRepaint_.restart();
}

}  // namespace ravelmoor
