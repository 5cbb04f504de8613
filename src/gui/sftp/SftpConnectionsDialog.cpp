#include "gui/sftp/SftpConnectionsDialog.h"

#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>

#include "gui/sftp/SftpDirectoryDialog.h"
#include "gui/widgets/IconButton.h"
#include "gui/widgets/Pickers.h"

namespace ravelmoor {

SftpConnectionsDialog::SftpConnectionsDialog(SettingsStore& store, Prompter& prompter,
                                             Pickers& pickers, QWidget* parent)
    : ConnectionsDialog(store, tr("SFTP Connections"), parent),
      store_(store),
      prompter_(prompter),
      pickers_(pickers),
      editor_(store_, prompter) {
    NameBox()->setToolTip(tr("Pick a connection; a new one is named after its host and directory"));
    host_ = new QLineEdit(this);
    host_->setToolTip(
        tr("Host name or address of the SSH server, or a host of ~/.ssh/config, "
           "which then gives its address, user, port, key and jump host"));
    port_ = new QSpinBox(this);
    port_->setRange(1, 65535);
    port_->setToolTip(tr("22: the port ~/.ssh/config gives the host, or 22"));
    user_ = new QLineEdit(this);
    user_->setToolTip(
        tr("Leave empty for the user ~/.ssh/config gives the host, or your own user name"));
    directory_ = new QLineEdit(this);
    directory_->setToolTip(tr("An absolute folder, or one below the folder the logon starts in"));
    browse_ = MakeSmallIconButton("browse", tr("Select SFTP Directory"), this);
    logon_ = new QComboBox(this);
    // In the order of SftpLogon.
    logon_->addItems({tr("SSH agent and key files"), tr("Key file"), tr("Password")});
    logon_->setToolTip(
        tr("SSH agent and key files: the agent's keys, then the key files "
           "~/.ssh/config names for the host, then ~/.ssh/id_*"));
    keyFile_ = new QLineEdit(this);
    pickKeyFile_ = MakeSmallIconButton("browse", tr("Select Key File"), this);
    secret_ = new QLineEdit(this);
    secret_->setEchoMode(QLineEdit::Password);
    secretLabel_ = new QLabel(this);
    secretLabel_->setBuddy(secret_);

    auto* hostRow = new QHBoxLayout;
    hostRow->addWidget(host_, 1);
    auto* portLabel = new QLabel(tr("P&ort:"), this);
    portLabel->setBuddy(port_);
    hostRow->addWidget(portLabel);
    hostRow->addWidget(port_);
    auto* directoryRow = new QHBoxLayout;
    directoryRow->addWidget(directory_, 1);
    directoryRow->addWidget(browse_);
    auto* keyFileRow = new QHBoxLayout;
    keyFileRow->addWidget(keyFile_, 1);
    keyFileRow->addWidget(pickKeyFile_);
    auto* fields = new QFormLayout;
    auto* hostLabel = new QLabel(tr("&Host:"), this);
    hostLabel->setBuddy(host_);
    fields->addRow(hostLabel, hostRow);
    fields->addRow(tr("&User:"), user_);
    auto* directoryLabel = new QLabel(tr("&Directory:"), this);
    directoryLabel->setBuddy(directory_);
    fields->addRow(directoryLabel, directoryRow);
    fields->addRow(tr("Lo&gon:"), logon_);
    auto* keyFileLabel = new QLabel(tr("&Key file:"), this);
    keyFileLabel->setBuddy(keyFile_);
    fields->addRow(keyFileLabel, keyFileRow);
    fields->addRow(secretLabel_, secret_);

    Lay(fields);

    FollowServerAndDirectory(host_, directory_);
    connect(port_, &QSpinBox::valueChanged, this, [this](int port) { editor_.SetPort(port); });
    connect(user_, &QLineEdit::textEdited, this,
            [this](const QString& text) { editor_.SetUser(text.toStdString()); });
    connect(logon_, &QComboBox::activated, this, [this](int index) {
        editor_.SetLogon(static_cast<SftpLogon>(index));
        ShowFields();
    });
    connect(keyFile_, &QLineEdit::textEdited, this,
            [this](const QString& text) { editor_.SetKeyFile(text.toStdString()); });
    connect(secret_, &QLineEdit::textEdited, this,
            [this](const QString& text) { editor_.SetSecret(text.toStdString()); });
    connect(browse_, &QToolButton::clicked, this, &SftpConnectionsDialog::OnBrowse);
    connect(pickKeyFile_, &QToolButton::clicked, this, &SftpConnectionsDialog::OnPickKeyFile);
}

QWidget* SftpConnectionsDialog::FirstField() const {
    return host_;
}

void SftpConnectionsDialog::ShowOwnFields() {
    const SftpConnection& fields = editor_.Fields();
    ConnectionNameBox::ShowText(host_, fields.host);
    // A spin box reports the program's own changes too; this one only
    // hands the editor back its own value.
    if (port_->value() != fields.port) port_->setValue(fields.port);
    ConnectionNameBox::ShowText(user_, fields.user);
    ConnectionNameBox::ShowText(directory_, fields.directory);
    logon_->setCurrentIndex(static_cast<int>(fields.logon));
    ConnectionNameBox::ShowText(keyFile_, fields.keyFile);
    ConnectionNameBox::ShowText(secret_, fields.secret);

    const bool byKey = fields.logon == SftpLogon::KeyFile;
    keyFile_->setEnabled(byKey);
    pickKeyFile_->setEnabled(byKey);
    secret_->setEnabled(fields.logon != SftpLogon::Agent);
    secretLabel_->setText(byKey ? tr("Pass&phrase:") : tr("&Password:"));
    secret_->setToolTip(byKey ? tr("Leave empty for a key file without a passphrase") : QString());
}

void SftpConnectionsDialog::OnBrowse() {
    SftpDirectoryDialog browser(editor_.Fields(), host_->text(), /*acceptAnyPath=*/false, prompter_,
                                this);
    Browse(browser);
}

void SftpConnectionsDialog::OnPickKeyFile() {
    FileChoice choice;
    choice.title = tr("Select Key File");
    choice.initial = editor_.Fields().keyFile.empty()
                         ? QDir::home().filePath(QStringLiteral(".ssh")).toStdString()
                         : editor_.Fields().keyFile;
    const auto chosen = pickers_.PickFileToOpen(this, choice);
    if (!chosen) return;
    editor_.SetKeyFile(*chosen);
    ShowFields();
}

}  // namespace ravelmoor
