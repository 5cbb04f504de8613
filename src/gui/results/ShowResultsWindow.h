#pragma once

namespace ravelmoor {

class FolderComparer;
class MainWindow;

// The main window's way to show a completed comparison: the results window,
// modal over the engine's result lists; back to the main window when it
// closes.
void ShowResultsWindow(MainWindow& window, FolderComparer& comparer);

}  // namespace ravelmoor
