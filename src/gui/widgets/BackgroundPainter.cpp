#include "gui/widgets/BackgroundPainter.h"

#include <QApplication>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QProgressBar>
#include <QSlider>
#include <QStatusBar>
#include <QWidget>

namespace ravelmoor {
namespace {

std::unique_ptr<BackgroundBitmap>& Shared() {
    static std::unique_ptr<BackgroundBitmap> bitmap;
    return bitmap;
}

// Controls that Qt draws partly transparent but that have a colour of their
// own on the desktop: the picture would show through them.
bool KeepsWindowColour(const QWidget& widget) {
    return qobject_cast<const QSlider*>(&widget) != nullptr ||
           qobject_cast<const QProgressBar*>(&widget) != nullptr ||
           qobject_cast<const QStatusBar*>(&widget) != nullptr ||
           qobject_cast<const QMenuBar*>(&widget) != nullptr;
}

}  // namespace

const BackgroundBitmap* SharedBackground() {
    return Shared().get();
}

void SetSharedBackground(std::unique_ptr<BackgroundBitmap> bitmap) {
    Shared() = std::move(bitmap);
    for (QWidget* window : QApplication::topLevelWidgets())
        window->update();
}

BackgroundPainter::BackgroundPainter(QWidget& window, BackgroundMode mode)
    : QObject(&window), window_(window), mode_(mode) {
    window.installEventFilter(this);
}

bool BackgroundPainter::eventFilter(QObject* watched, QEvent* event) {
    // The window's own colour is already down; its paintEvent comes next.
    if (watched == &window_ && event->type() == QEvent::Paint)
        Paint(static_cast<const QPaintEvent&>(*event));
    return false;
}

void BackgroundPainter::Paint(const QPaintEvent& event) {
    const BackgroundBitmap* bitmap = SharedBackground();
    if (bitmap == nullptr || !bitmap->HasImage()) return;
    QRegion area = event.region();
    for (const QWidget* child : window_.findChildren<QWidget*>()) {
        if (child->window() == &window_ && child->isVisible() && KeepsWindowColour(*child))
            area -= QRect(child->mapTo(&window_, QPoint(0, 0)), child->size());
    }
    QPainter painter(&window_);
    painter.setClipRegion(area);
    bitmap->Draw(painter, window_.size(), mode_);
}

void UseBackground(QWidget& window, BackgroundMode mode) {
    new BackgroundPainter(window, mode);
    // The style's own group frame is a faint line that a picture swallows:
    // a frame in the theme's darker shade, its title on a plate of the
    // window colour.
    window.setStyleSheet(window.styleSheet() + QStringLiteral(R"(
QGroupBox { border: 1px solid palette(dark); border-radius: 4px; margin-top: 0.7em;
            padding-top: 0.5em; }
QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 4px;
                   background-color: palette(window); border-radius: 2px; }
)"));
}

}  // namespace ravelmoor
