#include "results/ShowResultsWindow.h"

#include "app/MainWindow.h"
#include "results/ResultsWindow.h"

namespace ravelmoor {

void ShowResultsWindow(MainWindow& window, FolderComparer& comparer) {
    ResultsWindow results({comparer, window.AppSettings(), window.Store(), window.MessagePrompter(),
                           window.FilePickers(), window.ResultsTitle()},
                          &window);
    results.exec();
}

}  // namespace ravelmoor
