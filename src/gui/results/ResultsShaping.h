#pragma once

#include <QObject>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/results/RowNarrowing.h"
#include "core/results/RowTree.h"
#include "core/results/TreeRows.h"
#include "core/results/VisibleRows.h"

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QToolButton;
class QVBoxLayout;
class QWidget;

namespace ravelmoor {

class FileList;
class VirtualReportView;

// How the results lists are shaped beyond the view toggles: as a tree of
// folders that open and close ("Tree", the rows still paired on both
// sides), narrowed to the rows whose path holds a text (the filter box), or
// to one folder ("Show Only This Folder", with a bar that says so and
// "Show All"). It owns those controls (the window places them) and the
// folder state, and takes the clicks and keys that open and close folders
// in both lists; `changed` refreshes the lists after each change.
class ResultsShaping : public QObject {
    Q_OBJECT

  public:
    ResultsShaping(const FileList& source, const FileList& target,
                   const std::vector<uint32_t>& visibleRows,
                   std::array<VirtualReportView*, 2> lists, std::function<void()> changed,
                   QWidget* window);

    // Puts the tree toggle at the end of the `views` row and the filter box
    // with the folder bar in a row at the top of `body`.
    void PlaceControls(QHBoxLayout& views, QVBoxLayout& body);
    QToolButton* TreeButton() const { return treeButton_; }
    QLineEdit* FilterBox() const { return filterBox_; }
    // Shown while one folder is: its text and "Show All".
    QWidget* FolderBar() const { return folderBar_; }

    bool TreeMode() const;
    void SetTreeMode(bool on);
    QString FilterText() const;
    void SetFilterText(const QString& text);
    // Only `row` (a folder row, or the folder of the row) and what lies in it.
    void ShowOnlyFolder(uint32_t row);
    void ShowAllFolders();
    uint32_t OnlyFolder() const { return narrowing_.folder; }

    // Shapes `rows` (ascending, the rows the toggles show, adding up to
    // `viewTotals`) into what the lists show; returns what the rows that
    // pass add up to. Lists whose rows changed in number since the last
    // call get their folders read again, every folder open and all shown.
    ShownTotals Shape(const ShownTotals& viewTotals, std::vector<uint32_t>& rows);

    // What the Name cell of a row shows in the tree: how deep it lies,
    // whether it is a folder that is closed, and the rows it holds.
    bool IsClosed(uint32_t row) const { return treeRows_.IsClosed(row); }
    uint32_t Depth(uint32_t row) const;
    uint32_t BelowCount(uint32_t row) const { return treeRows_.BelowCount(row); }
    bool IsFolder(uint32_t row) const;
    // Opens a closed folder row, closes an open one.
    void ToggleFolder(uint32_t row);
    void SetFolderClosed(uint32_t row, bool closed);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void EnsureTree();
    // The row shown at `item` of the lists; RowTree::kNoRow past the end.
    uint32_t RowAt(int item) const;
    bool OnMouse(VirtualReportView& list, QEvent* event);
    bool OnKey(VirtualReportView& list, QEvent* event);

    const FileList& source_;
    const FileList& target_;
    const std::vector<uint32_t>& visibleRows_;
    std::array<VirtualReportView*, 2> lists_;
    std::function<void()> changed_;
    RowTree tree_;
    bool treeBuilt_ = false;
    TreeRows treeRows_;
    RowNarrowing narrowing_;
    std::vector<uint32_t> passing_;

    QToolButton* treeButton_ = nullptr;
    QLineEdit* filterBox_ = nullptr;
    QWidget* folderBar_ = nullptr;
    QLabel* folderText_ = nullptr;
};

}  // namespace ravelmoor
