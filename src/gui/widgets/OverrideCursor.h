#pragma once

#include <QApplication>
#include <QCursor>

namespace ravelmoor {

// Shows `shape` as the pointer over every window of the program for as long
// as it lives; nested ones stack, so a message box during a long batch gets
// the arrow back and the batch's wait cursor returns after it.
class OverrideCursor {
  public:
    explicit OverrideCursor(Qt::CursorShape shape) { QApplication::setOverrideCursor(shape); }
    ~OverrideCursor() { QApplication::restoreOverrideCursor(); }
    OverrideCursor(const OverrideCursor&) = delete;
    OverrideCursor& operator=(const OverrideCursor&) = delete;
};

}  // namespace ravelmoor
