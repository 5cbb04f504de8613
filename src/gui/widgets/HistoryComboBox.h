#pragma once

#include <QComboBox>
#include <string>

#include "core/settings/FolderHistory.h"

namespace ravelmoor {

class SettingsStore;

// An editable folder box whose list holds the recent folders, most recent
// first, kept in a section of the per-user store ("LS" for the Source box,
// "LT" for the Target box).
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

  private:
    void FillList();

    FolderHistory history_;
};

}  // namespace ravelmoor
