#pragma once

#include <QComboBox>
#include <string>

class QMimeData;

#include "core/settings/FolderHistory.h"

namespace ravelmoor {

class SettingsStore;

// An editable folder box whose list holds the recent folders, most recent
// first, kept in a section of the per-user store ("LS" for the Source box,
// "LT" for the Target box). A folder dropped on it (one local folder, as a
// file manager drags it) becomes its text; anything else is refused.
class HistoryComboBox : public QComboBox {
    Q_OBJECT

  public:
    HistoryComboBox(std::string section, QWidget* parent = nullptr);

    // Appends the section's entries to the list.
    void Load(const SettingsStore& store);
    // Rewrites the section from the list.
    void Save(SettingsStore& store) const;

    // Moves `text` to the top of the list (an entry equal to it in any case
    // goes; the oldest go beyond six) and shows it.
    void AddToHistory(const std::string& text);

    std::string Text() const;
    void SetText(const std::string& text);
    const FolderHistory& History() const { return history_; }

    // The local folder that `data` carries, or nothing.
    static QString DroppedFolder(const QMimeData* data);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void FillList();
    // Takes a drag or drop event of the box or its text: true when it was one.
    bool TakeDrop(QEvent* event);

    FolderHistory history_;
};

}  // namespace ravelmoor
