#pragma once

namespace ravelmoor {

class Comparison;
class MainWindow;

// The main window's way to show a completed comparison: the results window,
// modal over the comparison's result lists; back to the main window when it
// closes.
void ShowResultsWindow(MainWindow& window, Comparison& comparison);

}  // namespace ravelmoor
