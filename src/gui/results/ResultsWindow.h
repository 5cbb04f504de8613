#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/results/ViewChoice.h"
#include "core/results/WindowPlacement.h"
#include "core/sync/SyncMethod.h"
#include "core/sync/SyncSides.h"
#include "gui/results/ResultsCommands.h"
#include "gui/results/ResultsListModel.h"
#include "gui/results/ViewToggleButtons.h"

class QComboBox;
class QGridLayout;
class QHBoxLayout;
class QVBoxLayout;
class QLabel;
class QPushButton;
class QToolButton;

namespace ravelmoor {

class ElidedLabel;
class Comparison;
class Pickers;
class Prompter;
class ResultsOrdering;
class ResultsPlacement;
class ResultsShaping;
class ResultsStatusBar;
class SettingsStore;
class TwoWayLists;
class VirtualReportView;
struct Settings;

// What the results window works with: the comparison whose result lists it
// shows and changes, the settings (summary line, file-comparison program),
// the store that keeps its placement, and how it talks to the user.
struct ResultsContext {
    Comparison& comparison;
    Settings& settings;
    SettingsStore& store;
    Prompter& prompter;
    Pickers& pickers;
    std::string title;  // the main window's title when the comparison started
};

// What the window shows, beyond the rows themselves: carried over to the
// window of the next comparison by F5.
struct ResultsView {
    SyncMethod method = SyncMethod::None;
    ViewToggles toggles;
    bool tree = false;
    QString filter;
};

// The results of a comparison: the Source and Target lists side by side, one
// line per row of the engine's paired result lists, with the view toggles and
// combo, the counts and sizes of what is shown, the sync method with
// "Preview" and "Synchronise", and a context menu to copy, delete or
// visualise single rows. It changes the result lists in place and stays open
// after a synchronisation. Its placement and column widths persist.
class ResultsWindow : public QDialog {
    Q_OBJECT

  public:
    // What exec() returns when the user asked to compare again (F5).
    static constexpr int kCompareAgain = 2;

    explicit ResultsWindow(ResultsContext context, QWidget* parent = nullptr);
    ~ResultsWindow() override;

    // Escape and "Close"; refused while a command is under way.
    void reject() override;

    // Recomputes the visible rows, the view combo, both lists and the four
    // count and size labels.
    void RefreshLists();
    // What picking an entry of the "Method:" or "View:" combo box does.
    void ChooseMethod(SyncMethod method);
    void ChooseView(ViewChoice choice);
    void OnSynchronise();
    void OnUndo();
    void OnPreview();
    // The context menu of one list, at a point of the screen.
    void ShowContextMenu(ListSide side, const QPoint& globalPosition);
    // The method and view, as F5 hands them on; ApplyView takes them over
    // as they are (the method's own view does not replace the toggles).
    ResultsView CurrentView() const;
    void ApplyView(const ResultsView& view);
    // "Show Only This Folder" on the current row of the `side` list.
    void ShowOnlyFolderOf(ListSide side);
    ResultsShaping* Shaping() const { return shaping_; }
    // The two-way method's marks, "Conflicts" toggle and settlements.
    TwoWayLists& TwoWay() const { return *twoWay_; }
    // F5: closes the window so that the comparison runs again.
    void CompareAgain();
    // The periodic check that both folders are still there.
    void CheckFoldersStillThere();
    // A click on the header of `column` of the `side` list: that column up,
    // then down, then the path order again.
    void SortBy(ListSide side, ResultColumn column);
    const std::optional<RowOrder>& Order() const;

    // --- The parts of the window, for tests and for the background painting.
    VirtualReportView* List(ListSide side) const { return lists_[Index(side)]; }
    ResultsListModel* Model(ListSide side) const { return models_[Index(side)]; }
    ElidedLabel* PathLabel(ListSide side) const { return pathLabels_[Index(side)]; }
    QLabel* CountLabel(ListSide side) const { return countLabels_[Index(side)]; }
    QLabel* SizeLabel(ListSide side) const { return sizeLabels_[Index(side)]; }
    QComboBox* ViewCombo() const { return viewCombo_; }
    QComboBox* MethodCombo() const { return methodCombo_; }
    QLabel* DescriptionLabel() const { return description_; }
    QToolButton* Toggle(ViewToggle toggle) const { return toggles_[static_cast<size_t>(toggle)]; }
    QPushButton* CloseButton() const { return close_; }
    QPushButton* PreviewButton() const { return preview_; }
    QPushButton* SynchroniseButton() const { return synchronise_; }
    // Enabled after a synchronisation made here until the next change.
    QPushButton* UndoButton() const { return undo_; }
    QString SummaryText() const;
    // "Not done..." in the status bar after a synchronisation that left objects.
    QToolButton* FailuresButton() const;
    QString SelectionText() const;
    ResultsStatusBar* StatusBar() const { return statusBar_; }
    // The status bar's note about folders that could not be read; empty
    // when there is none.
    QString UnreadableFoldersText() const;
    const std::vector<uint32_t>& VisibleRows() const { return visibleRows_; }
    ViewToggles Toggles() const;
    SyncMethod Method() const { return method_; }

    // --- What the commands work with.
    // The positions of the visible rows selected in the `side` list.
    std::vector<int> SelectedItems(ListSide side) const;
    void ClearSelections();
    // After a synchronisation: what was done in the status bar, and a button
    // that lists what was not.
    void ShowSyncReport(const std::string& summary, uint64_t notDone,
                        std::vector<std::string> failures);

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    static size_t Index(ListSide side) { return side == ListSide::Source ? 0 : 1; }
    void BuildControls();
    void BuildLayout();
    void ConnectControls();
    void SetToggles(const ViewToggles& toggles);
    void FocusClose();
    void KeepDescriptionHeight();
    void OnOpened();
    void OnSelectionChanged(ListSide side);
    void OnFocusLost(ListSide side, Qt::FocusReason reason);
    void SetUpKeys();

    ResultsContext context_;
    ResultsCommands commands_{*this, context_};  // what the window does to the files
    StatusIcons icons_;
    std::vector<uint32_t> visibleRows_;
    SyncMethod method_ = SyncMethod::None;
    bool warningShown_ = false;
    bool opened_ = false;
    QTimer folderCheck_;
    // Made once the lists are: the row and column order, the placement and
    // column widths.
    std::unique_ptr<ResultsOrdering> ordering_;
    std::unique_ptr<ResultsPlacement> placement_;

    std::array<VirtualReportView*, 2> lists_{};
    std::array<ResultsListModel*, 2> models_{};
    std::array<ElidedLabel*, 2> pathLabels_{};
    std::array<QLabel*, 2> countLabels_{};
    std::array<QLabel*, 2> sizeLabels_{};
    std::array<QToolButton*, kViewToggleCount> toggles_{};
    QComboBox* viewCombo_ = nullptr;
    QComboBox* methodCombo_ = nullptr;
    QLabel* description_ = nullptr;
    QPushButton* close_ = nullptr;
    QPushButton* preview_ = nullptr;
    QPushButton* synchronise_ = nullptr;
    QPushButton* undo_ = nullptr;
    QToolButton* help_ = nullptr;
    ResultsStatusBar* statusBar_ = nullptr;
    ResultsShaping* shaping_ = nullptr;
    TwoWayLists* twoWay_ = nullptr;
    QHBoxLayout* views_ = nullptr;
    QGridLayout* listsGrid_ = nullptr;
    QVBoxLayout* body_ = nullptr;
};

}  // namespace ravelmoor
