#include "gui/ftp/FtpConnectionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/settings/SettingsStore.h"
#include "gui/ftp/FtpDirectoryDialog.h"
#include "gui/widgets/BackgroundPainter.h"
#include "gui/widgets/FromStd.h"
#include "gui/widgets/IconButton.h"

namespace ravelmoor {
namespace {

// Leaves a box that already shows `text` alone, so that its cursor and undo
// history stay where the user's typing left them.
void ShowText(QLineEdit* box, const std::string& text) {
    const QString shown = FromStd(text);
    if (box->text() != shown) box->setText(shown);
}

}  // namespace

FtpConnectionsDialog::FtpConnectionsDialog(SettingsStore& store, Prompter& prompter,
                                           QWidget* parent)
    : QDialog(parent),
      settingsStore_(store),
      store_(store),
      prompter_(prompter),
      editor_(store_, prompter) {
    UseBackground(*this);
    setWindowTitle(tr("FTP Connections"));

    name_ = new QComboBox(this);
    name_->setEditable(true);
    name_->setInsertPolicy(QComboBox::NoInsert);
    name_->setCompleter(nullptr);  // a completion would be an edit of its own
    name_->setMinimumContentsLength(28);
    name_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    name_->setToolTip(tr("Pick a connection; a new one is named after its server and directory"));
    server_ = new QLineEdit(this);
    server_->setToolTip(tr("Host name or address, optionally with :port"));
    user_ = new QLineEdit(this);
    user_->setToolTip(tr("Leave empty to log on anonymously"));
    password_ = new QLineEdit(this);  // shown as typed, as the connection stores it
    directory_ = new QLineEdit(this);
    browse_ = MakeSmallIconButton("browse", tr("Select FTP Directory"), this);
    passive_ = new QCheckBox(tr("Passive mode"), this);
    passive_->setToolTip(
        tr("Let this program open the data connections; most servers behind "
           "NAT or a firewall need it"));

    auto* directoryRow = new QHBoxLayout;
    directoryRow->addWidget(directory_, 1);
    directoryRow->addWidget(browse_);
    auto* fields = new QFormLayout;
    fields->addRow(tr("&Name:"), name_);
    fields->addRow(tr("&Server:"), server_);
    fields->addRow(tr("&User:"), user_);
    fields->addRow(tr("&Password:"), password_);
    auto* directoryLabel = new QLabel(tr("&Directory:"), this);
    directoryLabel->setBuddy(directory_);
    fields->addRow(directoryLabel, directoryRow);
    fields->addRow(QString(), passive_);

    new_ = new QPushButton(tr("Ne&w"), this);
    delete_ = new QPushButton(tr("De&lete"), this);
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

    connect(name_, &QComboBox::activated, this, [this](int index) {
        editor_.PickName(name_->itemText(index).toStdString());
        ShowFields();
    });
    // The name cannot be typed: the box keeps showing the editor's name.
    connect(name_->lineEdit(), &QLineEdit::textEdited, this, &FtpConnectionsDialog::ShowFields);
    connect(server_, &QLineEdit::textEdited, this, [this](const QString& text) {
        editor_.SetServer(text.toStdString());
        ShowFields();
    });
    connect(directory_, &QLineEdit::textEdited, this, [this](const QString& text) {
        editor_.SetDirectory(text.toStdString());
        ShowFields();
    });
    connect(user_, &QLineEdit::textEdited, this,
            [this](const QString& text) { editor_.SetUser(text.toStdString()); });
    connect(password_, &QLineEdit::textEdited, this,
            [this](const QString& text) { editor_.SetPassword(text.toStdString()); });
    connect(passive_, &QCheckBox::clicked, this, [this](bool on) { editor_.SetPassive(on); });
    connect(new_, &QPushButton::clicked, this, &FtpConnectionsDialog::OnNew);
    connect(delete_, &QPushButton::clicked, this, &FtpConnectionsDialog::OnDelete);
    connect(browse_, &QToolButton::clicked, this, &FtpConnectionsDialog::OnBrowse);
}

void FtpConnectionsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    editor_.Open();
    ShowFields();
    server_->setFocus();
}

void FtpConnectionsDialog::ShowFields() {
    QStringList names;
    for (const std::string& listed : editor_.Names())
        names.append(FromStd(listed));
    QStringList shownNames;
    for (int i = 0; i < name_->count(); ++i)
        shownNames.append(name_->itemText(i));
    if (names != shownNames) {
        name_->clear();
        name_->addItems(names);
    }
    const QString name = FromStd(editor_.Name());
    const int listed = name_->findText(name, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (name_->currentIndex() != listed) name_->setCurrentIndex(listed);
    if (name_->currentText() != name) name_->setEditText(name);

    const FtpConnection& fields = editor_.Fields();
    ShowText(server_, fields.server);
    ShowText(user_, fields.user);
    ShowText(password_, fields.password);
    ShowText(directory_, fields.directory);
    passive_->setChecked(fields.passive);
}

void FtpConnectionsDialog::OnNew() {
    editor_.New();
    ShowFields();
    server_->setFocus();
}

void FtpConnectionsDialog::OnDelete() {
    if (!editor_.Delete(name_->currentText().toStdString())) return;
    settingsStore_.Sync();
    ShowFields();
}

void FtpConnectionsDialog::OnBrowse() {
    FtpDirectoryDialog browser(editor_.Fields(), server_->text(), /*acceptAnyPath=*/false,
                               prompter_, this);
    if (browser.exec() != QDialog::Accepted) return;
    editor_.SetDirectory(browser.Path());
    ShowFields();
}

void FtpConnectionsDialog::accept() {
    switch (editor_.Save()) {
        case FtpConnectionEditor::SaveResult::Refused:
        case FtpConnectionEditor::SaveResult::Declined:
            return;
        case FtpConnectionEditor::SaveResult::Unchanged:
            break;
        case FtpConnectionEditor::SaveResult::Saved:
            settingsStore_.Sync();
            break;
    }
    QDialog::accept();
}

}  // namespace ravelmoor
