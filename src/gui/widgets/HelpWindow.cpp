#include "gui/widgets/HelpWindow.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "gui/widgets/BackgroundPainter.h"
#include "gui/widgets/IconButton.h"

namespace ravelmoor {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    UseBackground(*this);
    setWindowTitle(tr("Ravelmoor Help"));
    setWindowIcon(ProgramIcon("help"));
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(true);
    browser_->setSearchPaths({QStringLiteral(":/help")});

    auto* back = new QPushButton(tr("&Back"), this);
    auto* contents = new QPushButton(tr("&Contents"), this);
    auto* close = new QPushButton(tr("Close"), this);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    back->setEnabled(false);
    connect(contents, &QPushButton::clicked, this, [this] { ShowTopic(help_topics::kMain); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    // A window of its own, not a dialog: Escape is given to it here.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(contents);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
    layout->addLayout(buttons);
    resize(640, 560);
}

void HelpWindow::ShowTopic(const char* topic) {
    //: The folder under :/help that holds this language's help pages; pages
    //: missing there are shown in English.
    const QString language = tr("en", "help pages' language");
    QString page = QStringLiteral("help/%1/%2").arg(language, QLatin1String(topic));
    if (language == QLatin1String("en") || !QFile::exists(QLatin1Char(':') + page)) {
        page = QStringLiteral("help/%1").arg(QLatin1String(topic));
    }
    browser_->setSource(QUrl(QStringLiteral("qrc:/") + page));
}

QString HelpWindow::CurrentPage() const {
    return browser_->source().toString();
}

HelpWindow* HelpWindow::Show(const char* topic, QWidget* from) {
    static QPointer<HelpWindow> window;
    QWidget* owner = from != nullptr ? from->window() : nullptr;
    if (window && window->parentWidget() != owner) delete window;
    if (!window) {
        window = new HelpWindow(owner);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->ShowTopic(topic);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

QDialogButtonBox* MakeOkCancelHelpButtons(QDialog& dialog, const char* topic) {
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, &dialog);
    buttons->button(QDialogButtonBox::Help)->setIcon(ProgramIcon("help"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::helpRequested, &dialog,
                     [&dialog, topic] { HelpWindow::Show(topic, &dialog); });
    return buttons;
}

}  // namespace ravelmoor
