#include "gui/remote/ConnectionsDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <vector>

#include "core/settings/SettingsStore.h"
#include "gui/remote/RemoteDirectoryDialog.h"
#include "gui/widgets/BackgroundPainter.h"
#include "gui/widgets/IconButton.h"

namespace ravelmoor {
namespace {

// The widgets of `layout` that take the focus, in the order they are laid out.
void CollectFocusable(QLayout* layout, std::vector<QWidget*>& widgets);

void CollectFocusable(QLayoutItem* item, std::vector<QWidget*>& widgets) {
    if (item == nullptr) return;
    if (QWidget* widget = item->widget()) {
        if (widget->focusPolicy() != Qt::NoFocus) widgets.push_back(widget);
    } else if (QLayout* inner = item->layout()) {
        CollectFocusable(inner, widgets);
    }
}

void CollectFocusable(QLayout* layout, std::vector<QWidget*>& widgets) {
    // A form's items are not kept in row order.
    if (auto* form = qobject_cast<QFormLayout*>(layout)) {
        for (int row = 0; row < form->rowCount(); ++row) {
            CollectFocusable(form->itemAt(row, QFormLayout::LabelRole), widgets);
            CollectFocusable(form->itemAt(row, QFormLayout::FieldRole), widgets);
            CollectFocusable(form->itemAt(row, QFormLayout::SpanningRole), widgets);
        }
        return;
    }
    for (int i = 0; i < layout->count(); ++i)
        CollectFocusable(layout->itemAt(i), widgets);
}

}  // namespace

ConnectionsDialog::ConnectionsDialog(SettingsStore& store, const QString& title, QWidget* parent)
    : QDialog(parent), settingsStore_(store) {
    UseBackground(*this);
    setWindowTitle(title);
    name_ = new ConnectionNameBox(this);
    new_ = new QPushButton(tr("Ne&w"), this);
    delete_ = new QPushButton(tr("De&lete"), this);

    connect(name_, &QComboBox::activated, this, [this](int index) {
        Editor().PickName(name_->itemText(index).toStdString());
        ShowFields();
    });
    // The name cannot be typed: the box keeps showing the editor's name.
    connect(name_->lineEdit(), &QLineEdit::textEdited, this, &ConnectionsDialog::ShowFields);
    connect(new_, &QPushButton::clicked, this, &ConnectionsDialog::OnNew);
    connect(delete_, &QPushButton::clicked, this, &ConnectionsDialog::OnDelete);
}

void ConnectionsDialog::Lay(QFormLayout* fields) {
    fields->insertRow(0, tr("&Name:"), name_);
    auto* buttons = MakeOkCancelIconButtons(*this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(new_);
    buttonRow->addWidget(delete_);
    buttonRow->addStretch();
    buttonRow->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(6);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The base's controls were made first; the tab key goes as the eye does.
    std::vector<QWidget*> order;
    CollectFocusable(layout, order);
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void ConnectionsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    Editor().Open();
    ShowFields();
    FirstField()->setFocus();
}

void ConnectionsDialog::ShowFields() {
    name_->Show(Editor().Names(), Editor().Name());
    ShowOwnFields();
}

void ConnectionsDialog::OnNew() {
    Editor().New();
    ShowFields();
    FirstField()->setFocus();
}

void ConnectionsDialog::OnDelete() {
    if (!Editor().Delete(name_->currentText().toStdString())) return;
    settingsStore_.Sync();
    ShowFields();
}

void ConnectionsDialog::accept() {
    switch (Editor().Save()) {
        case ConnectionEditing::SaveResult::Refused:
        case ConnectionEditing::SaveResult::Declined:
            return;
        case ConnectionEditing::SaveResult::Unchanged:
            break;
        case ConnectionEditing::SaveResult::Saved:
            settingsStore_.Sync();
            break;
    }
    QDialog::accept();
}

void ConnectionsDialog::FollowServerAndDirectory(QLineEdit* server, QLineEdit* directory) {
    connect(server, &QLineEdit::textEdited, this, [this](const QString& text) {
        Editor().SetServer(text.toStdString());
        ShowFields();
    });
    connect(directory, &QLineEdit::textEdited, this, [this](const QString& text) {
        Editor().SetDirectory(text.toStdString());
        ShowFields();
    });
}

void ConnectionsDialog::Browse(RemoteDirectoryDialog& browser) {
    if (browser.exec() != QDialog::Accepted) return;
    Editor().SetDirectory(browser.Path());
    ShowFields();
}

}  // namespace ravelmoor
