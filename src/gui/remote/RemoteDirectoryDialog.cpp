#include "gui/remote/RemoteDirectoryDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "gui/remote/RemoteDirectoryTree.h"
#include "gui/widgets/BackgroundPainter.h"
#include "gui/widgets/IconButton.h"

namespace ravelmoor {

RemoteDirectoryDialog::RemoteDirectoryDialog(const QString& title, bool acceptAnyPath,
                                             RemoteDirectoryTree* tree, QWidget* parent)
    : QDialog(parent), acceptAnyPath_(acceptAnyPath), tree_(tree) {
    UseBackground(*this);
    setWindowTitle(title);
    titleLine_ = new QLabel(title, this);
    titleLine_->setTextFormat(Qt::PlainText);
    QFont bold = titleLine_->font();
    bold.setBold(true);
    titleLine_->setFont(bold);
    tree_->setParent(this);
    pathBox_ = new QLineEdit(this);
    auto* pathLabel = new QLabel(tr("&Path:"), this);
    pathLabel->setBuddy(pathBox_);

    auto* buttons = MakeOkCancelIconButtons(*this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(tree_, &QTreeWidget::itemSelectionChanged, this,
            &RemoteDirectoryDialog::OnSelectionChanged);

    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(pathLabel);
    pathRow->addWidget(pathBox_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(titleLine_);
    layout->addWidget(tree_, 1);
    layout->addLayout(pathRow);
    layout->addWidget(buttons);
    resize(380, 440);
}

bool RemoteDirectoryDialog::Ready() const {
    return initialised_ && !tree_->Busy();
}

void RemoteDirectoryDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (initialiseStarted_ || event->spontaneous()) return;
    initialiseStarted_ = true;
    // Connecting takes a while: the dialog shows first, with Cancel at hand.
    QMetaObject::invokeMethod(this, &RemoteDirectoryDialog::Initialise, Qt::QueuedConnection);
}

void RemoteDirectoryDialog::Initialise() {
    if (!isVisible()) return;  // cancelled before it began
    const bool connected = ConnectTree();
    initialised_ = true;
    if (!connected) {
        if (isVisible()) QDialog::reject();
        return;
    }
    // The tree took no input while it was being filled; now it is the place
    // to start, unless a path has been typed meanwhile.
    if (pathBox_->text().isEmpty()) tree_->setFocus();
}

void RemoteDirectoryDialog::OnSelectionChanged() {
    const QList<QTreeWidgetItem*> selected = tree_->selectedItems();
    if (selected.isEmpty()) return;
    pathBox_->setText(QString::fromStdString(tree_->PathOf(selected.front())));
}

void RemoteDirectoryDialog::accept() {
    if (!Ready()) return;
    const std::string path = pathBox_->text().toStdString();
    if (path.empty()) return;
    if (!acceptAnyPath_ && !tree_->PassesTreeCheck(path)) return;
    path_ = path;
    QDialog::accept();
}

void RemoteDirectoryDialog::reject() {
    tree_->Interrupt();
    QDialog::reject();
}

}  // namespace ravelmoor
