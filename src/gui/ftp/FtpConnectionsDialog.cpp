#include "gui/ftp/FtpConnectionsDialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "core/ftp/ServerClockStore.h"
#include "gui/ftp/FtpDirectoryDialog.h"
#include "gui/widgets/IconButton.h"

namespace ravelmoor {

FtpConnectionsDialog::FtpConnectionsDialog(SettingsStore& store, Prompter& prompter,
                                           QWidget* parent)
    : ConnectionsDialog(store, tr("FTP Connections"), parent),
      store_(store),
      prompter_(prompter),
      editor_(store_, prompter) {
    NameBox()->setToolTip(
        tr("Pick a connection; a new one is named after its server and directory"));
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
    fields->addRow(tr("&Server:"), server_);
    fields->addRow(tr("&User:"), user_);
    fields->addRow(tr("&Password:"), password_);
    auto* directoryLabel = new QLabel(tr("&Directory:"), this);
    directoryLabel->setBuddy(directory_);
    fields->addRow(directoryLabel, directoryRow);
    fields->addRow(QString(), passive_);
    clock_ = new QLabel(this);
    clock_->setWordWrap(true);
    clock_->setToolTip(
        tr("Found by each comparison that may write to the server, with a small file it "
           "uploads and removes again"));
    fields->addRow(tr("Server clock:"), clock_);
    Lay(fields);

    FollowServerAndDirectory(server_, directory_);
    connect(user_, &QLineEdit::textEdited, this,
            [this](const QString& text) { editor_.SetUser(text.toStdString()); });
    connect(password_, &QLineEdit::textEdited, this,
            [this](const QString& text) { editor_.SetPassword(text.toStdString()); });
    connect(passive_, &QCheckBox::clicked, this, [this](bool on) { editor_.SetPassive(on); });
    connect(browse_, &QToolButton::clicked, this, &FtpConnectionsDialog::OnBrowse);
}

QWidget* FtpConnectionsDialog::FirstField() const {
    return server_;
}

namespace {

QString ZoneText(int32_t offset, bool local) {
    return local
               ? FtpConnectionsDialog::tr("this computer's zone")
               : FtpConnectionsDialog::tr("UTC%1").arg(QString::fromStdString(OffsetText(offset)));
}

}  // namespace

QString FtpConnectionsDialog::ClockText(const ServerClock& clock) {
    if (!clock.known) {
        return tr("not known yet (a comparison that may write to the server finds it)");
    }
    const QString listings = ZoneText(clock.listingOffset, clock.listingIsLocal);
    const QString mdtm =
        clock.mdtmKnown ? ZoneText(clock.mdtmOffset, clock.mdtmIsLocal) : tr("not offered");
    QString setter;
    switch (clock.setter) {
        case TimeSetter::Mfmt:
            setter = QStringLiteral("MFMT");
            break;
        case TimeSetter::MdtmWithTime:
            setter = QStringLiteral("MDTM");
            break;
        case TimeSetter::SiteUtime:
            setter = QStringLiteral("SITE UTIME");
            break;
        case TimeSetter::Untried:
        case TimeSetter::None:
            return tr("listings in %1, MDTM %2; no command keeps an upload's time, so this "
                      "computer remembers it")
                .arg(listings, mdtm);
    }
    return tr("listings in %1, MDTM %2; uploads keep their times with %3")
        .arg(listings, mdtm, setter);
}

void FtpConnectionsDialog::ShowOwnFields() {
    const FtpConnection& fields = editor_.Fields();
    ConnectionNameBox::ShowText(server_, fields.server);
    ConnectionNameBox::ShowText(user_, fields.user);
    ConnectionNameBox::ShowText(password_, fields.password);
    ConnectionNameBox::ShowText(directory_, fields.directory);
    passive_->setChecked(fields.passive);
    const FtpConnection logon = FtpConnectionStore::WithDefaultLogon(fields);
    clock_->setText(ClockText(ServerClockStore::Read(logon.server, logon.user)));
}

void FtpConnectionsDialog::OnBrowse() {
    FtpDirectoryDialog browser(editor_.Fields(), server_->text(), /*acceptAnyPath=*/false,
                               prompter_, this);
    Browse(browser);
}

}  // namespace ravelmoor
