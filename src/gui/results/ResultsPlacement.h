#pragma once

#include <QRect>
#include <array>
#include <optional>

#include "core/results/WindowPlacement.h"
#include "core/sync/PlanSync.h"

class QWidget;

namespace ravelmoor {

class ResultsOrdering;
class SettingsStore;
class VirtualReportView;

// Where the results window opens and how wide its columns are, kept in the
// per-user store from one opening to the next: the window's normal rectangle
// and whether it was maximised, both lists' column widths, the row order and
// the column order. A saved rectangle is made to fit the screens there are
// now; a value that does not parse is left out.
class ResultsPlacement {
  public:
    ResultsPlacement(QWidget& window, VirtualReportView& source, VirtualReportView& target,
                     ResultsOrdering& ordering, SettingsStore& store);

    // The widths a new installation starts with.
    void ApplyDefaultColumnWidths();
    // Places the window and sets both orders and the widths as saved.
    void Restore();
    // Writes all of it to the store, once the window has had a size.
    void Save();
    // After each resize of the window: the saved widths again once a window
    // restored maximised has become so.
    void AfterResize();
    // Whether the store had column widths for the lists.
    bool WidthsSaved() const { return widthsSaved_; }

  private:
    VirtualReportView& List(ListSide side) const;
    void ApplyColumnWidths(ListSide side, const ColumnWidths& widths);
    ColumnWidths CurrentColumnWidths(ListSide side) const;

    QWidget& window_;
    VirtualReportView& source_;
    VirtualReportView& target_;
    ResultsOrdering& ordering_;
    SettingsStore& store_;
    bool widthsSaved_ = false;
    // The saved widths, applied again once the window is maximised.
    std::optional<std::array<ColumnWidths, 2>> widthsAfterMaximise_;
    QRect restoredNormalGeometry_;
};

}  // namespace ravelmoor
