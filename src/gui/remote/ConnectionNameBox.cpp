#include "gui/remote/ConnectionNameBox.h"

#include <QLineEdit>

#include "gui/widgets/FromStd.h"

namespace ravelmoor {

ConnectionNameBox::ConnectionNameBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);  // a completion would be an edit of its own
    setMinimumContentsLength(28);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
}

void ConnectionNameBox::Show(const std::vector<std::string>& names, const std::string& name) {
    QStringList wanted;
    for (const std::string& listed : names)
        wanted.append(FromStd(listed));
    QStringList shown;
    for (int i = 0; i < count(); ++i)
        shown.append(itemText(i));
    if (wanted != shown) {
        clear();
        addItems(wanted);
    }
    const QString current = FromStd(name);
    const int listed = findText(current, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (currentIndex() != listed) setCurrentIndex(listed);
    if (currentText() != current) setEditText(current);
}

void ConnectionNameBox::ShowText(QLineEdit* box, const std::string& text) {
    const QString shown = FromStd(text);
    if (box->text() != shown) box->setText(shown);
}

}  // namespace ravelmoor
