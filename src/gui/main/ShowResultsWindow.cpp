#include "gui/main/ShowResultsWindow.h"

#include "gui/main/MainWindow.h"
#include "gui/results/ResultsWindow.h"

namespace ravelmoor {

void ShowResultsWindow(MainWindow& window, Comparison& comparison) {
    ResultsWindow results({comparison, window.AppSettings(), window.Store(),
                           window.MessagePrompter(), window.FilePickers(), window.ResultsTitle()},
                          &window);
    // F5: the same comparison once more, as "Compare" would start it, once
    // this window is gone.
    if (results.exec() == ResultsWindow::kCompareAgain)
        QMetaObject::invokeMethod(&window, &MainWindow::OnCompare, Qt::QueuedConnection);
}

}  // namespace ravelmoor
