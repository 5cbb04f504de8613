#include "gui/main/ShowResultsWindow.h"

#include <optional>
#include <utility>

#include "gui/main/MainWindow.h"
#include "gui/results/ResultsWindow.h"

namespace ravelmoor {
namespace {

// The method and view that F5 hands on to the window of the comparison it
// starts. `generation` tells a later F5 from the one that set `view`.
struct CarriedView {
    std::optional<ResultsView> view;
    unsigned generation = 0;
};

CarriedView& Carried() {
    static CarriedView carried;
    return carried;
}

}  // namespace

void ShowResultsWindow(MainWindow& window, Comparison& comparison) {
    std::optional<ResultsView> again;
    {
        ResultsWindow results(
            {comparison, window.AppSettings(), window.Store(), window.MessagePrompter(),
             window.FilePickers(), window.ResultsTitle()},
            &window);
        if (const std::optional<ResultsView> carried = std::exchange(Carried().view, std::nullopt))
            results.ApplyView(*carried);
        if (results.exec() != ResultsWindow::kCompareAgain) return;
        again = results.CurrentView();
    }
    // F5: the same comparison once more, as "Compare" would start it, once
    // this window is gone; its window opens with this one's method and view.
    // A comparison that does not get that far leaves nothing for a later one.
    const unsigned generation = ++Carried().generation;
    Carried().view = again;
    QMetaObject::invokeMethod(
        &window,
        [&window, generation] {
            window.OnCompare();
            if (Carried().generation == generation) Carried().view.reset();
        },
        Qt::QueuedConnection);
}

}  // namespace ravelmoor
