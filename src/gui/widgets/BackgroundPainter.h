#pragma once

#include <QObject>
#include <memory>

#include "gui/widgets/BackgroundBitmap.h"

class QPaintEvent;
class QWidget;

namespace ravelmoor {

// The one background picture of the program, owned here for every window to
// paint; none while the background is switched off.
const BackgroundBitmap* SharedBackground();
// Takes `bitmap` (null: no background) and has every open window repaint.
void SetSharedBackground(std::unique_ptr<BackgroundBitmap> bitmap);

// Paints a window's client area with the shared background before the window
// draws itself, so the controls Qt draws without a background of their own
// (labels, check boxes, radio buttons, group boxes, the corners around push
// buttons) show it through. Edit fields, combo boxes, lists and text boxes
// fill their own base colour over it; sliders, progress bars, status bars and
// menu bars are left out of the painting and keep the window colour.
class BackgroundPainter : public QObject {
  public:
    BackgroundPainter(QWidget& window, BackgroundMode mode);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Paint(const QPaintEvent& event);

    QWidget& window_;
    BackgroundMode mode_;
};

// What every window of the program does in its constructor: paint the
// shared background, following it as it is switched off and on.
void UseBackground(QWidget& window, BackgroundMode mode = BackgroundMode::Tile);

}  // namespace ravelmoor
