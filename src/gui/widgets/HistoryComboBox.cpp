#include "gui/widgets/HistoryComboBox.h"

#include <QLineEdit>

namespace ravelmoor {

HistoryComboBox::HistoryComboBox(std::string section, QWidget* parent)
    : QComboBox(parent), history_(std::move(section)) {
    setEditable(true);
    // The launch decides what enters the list, not the Enter key.
    setInsertPolicy(QComboBox::NoInsert);
    // Long paths must not widen the window.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(40);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void HistoryComboBox::Load(const SettingsStore& store) {
    const std::string text = Text();
    history_.Load(store);
    FillList();
    SetText(text);
}

void HistoryComboBox::Save(SettingsStore& store) const {
    history_.Save(store);
}

void HistoryComboBox::AddToHistory(const std::string& text) {
    history_.AddToHistory(text);
    FillList();
    setCurrentIndex(0);
}

std::string HistoryComboBox::Text() const {
    return currentText().toStdString();
}

void HistoryComboBox::SetText(const std::string& text) {
    setEditText(QString::fromStdString(text));
}

void HistoryComboBox::FillList() {
    const QSignalBlocker quiet(this);
    clear();
    for (const std::string& entry : history_.Entries())
        addItem(QString::fromStdString(entry));
}

}  // namespace ravelmoor
