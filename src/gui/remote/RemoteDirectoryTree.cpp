#include "gui/remote/RemoteDirectoryTree.h"

#include <QApplication>
#include <QTimer>
#include <vector>

#include "core/engine/Prompter.h"
#include "core/remote/BrowseConnection.h"
#include "gui/progress/BackgroundTask.h"
#include "gui/widgets/IconButton.h"

namespace ravelmoor {
namespace {

constexpr int kKindRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;
// The text of the placeholder under a folder not yet listed (under the root: "/").
constexpr const char* kPlaceholder = "1";

// The desktop's icon, or ours where its theme has none.
QIcon ThemeIcon(const char* themeName, const char* fallback) {
    return QIcon::fromTheme(QLatin1String(themeName), ProgramIcon(fallback));
}

// A closed folder, drawn open while it is selected.
QIcon FolderIcon() {
    const QIcon closed = ThemeIcon("folder", "folder");
    const QIcon open = ThemeIcon("folder-open", "folder-open");
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48}) {
        icon.addPixmap(closed.pixmap(size), QIcon::Normal);
        icon.addPixmap(open.pixmap(size), QIcon::Selected);
    }
    return icon;
}

QTreeWidgetItem* MakeItem(RemoteDirectoryTree::ItemKind kind, const std::string& name,
                          const QIcon& icon) {
    auto* item = new QTreeWidgetItem;
    item->setText(0, QString::fromStdString(name));
    item->setData(0, kKindRole, static_cast<int>(kind));
    item->setData(0, kNameRole, QByteArray::fromStdString(name));
    if (!icon.isNull()) item->setIcon(0, icon);
    return item;
}

}  // namespace

RemoteDirectoryTree::RemoteDirectoryTree(Prompter& prompter, std::chrono::milliseconds deadline,
                                         QWidget* parent)
    : QTreeWidget(parent),
      prompter_(prompter),
      folderIcon_(FolderIcon()),
      fileIcon_(ThemeIcon("text-x-generic", "file")),
      deadline_(deadline) {
    setColumnCount(1);
    setHeaderHidden(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemExpanded, this, &RemoteDirectoryTree::OnExpanded);
}

RemoteDirectoryTree::~RemoteDirectoryTree() = default;

RemoteDirectoryTree::ItemKind RemoteDirectoryTree::KindOf(const QTreeWidgetItem* item) {
    return static_cast<ItemKind>(item->data(0, kKindRole).toInt());
}

std::string RemoteDirectoryTree::NameOf(const QTreeWidgetItem* item) {
    return item->data(0, kNameRole).toByteArray().toStdString();
}

QTreeWidgetItem* RemoteDirectoryTree::AddChild(QTreeWidgetItem* parent, ItemKind kind,
                                               const std::string& name) {
    const QIcon& icon =
        kind == ItemKind::Root || kind == ItemKind::Folder ? folderIcon_ : fileIcon_;
    QTreeWidgetItem* item = MakeItem(kind, name, icon);
    parent->addChild(item);
    return item;
}

bool RemoteDirectoryTree::Initialise(std::unique_ptr<BrowseConnection> connection) {
    interrupted_ = false;
    connection_ = std::move(connection);
    Outcome<BrowseStatus> logon(BrowseStatus::Quiet);
    const bool answered = RunOnWorker([&] { logon = connection_->Connect(); });
    const bool connected = logon.Ok();
    std::string problem = std::move(logon.reason);
    if (!connected && !answered) problem = DeadlineText();
    // Nothing to say when the user declined to go on.
    if (!interrupted_ && !problem.empty()) prompter_.Warn(problem);

    clear();
    if (!connected) {
        connection_.reset();
        setRootIsDecorated(false);
        addTopLevelItem(MakeItem(ItemKind::Failure, NoConnectionText().toStdString(), QIcon()));
        return false;
    }
    QTreeWidgetItem* root = MakeItem(ItemKind::Root, "/", folderIcon_);
    addTopLevelItem(root);
    AddChild(root, ItemKind::Placeholder, "/");
    root->setExpanded(true);  // lists the root
    if (root->childCount() == 0) {
        setRootIsDecorated(false);
        return true;
    }
    setRootIsDecorated(true);
    OpenAlong(connection_->StartFolder());
    return true;
}

void RemoteDirectoryTree::OpenAlong(const std::string& directory) {
    QTreeWidgetItem* current = topLevelItem(0);
    size_t start = 0;
    while (!interrupted_ && start < directory.size()) {
        size_t end = directory.find('/', start);
        if (end == std::string::npos) end = directory.size();
        const std::string level = directory.substr(start, end - start);
        start = end + 1;
        if (level.empty()) continue;

        QTreeWidgetItem* found = nullptr;
        for (int i = 0; i < current->childCount() && found == nullptr; ++i) {
            if (NameOf(current->child(i)) == level) found = current->child(i);
        }
        if (found == nullptr) break;
        if (found->childCount() == 0) {
            // Only a file has no placeholder: it is what the record names.
            QFont bold = found->font(0);
            bold.setBold(true);
            found->setFont(0, bold);
            setCurrentItem(found);
            scrollToItem(found);
            return;
        }
        found->setExpanded(true);  // lists it
        current = found;
    }
    // The deepest folder opened, with what it holds, rather than the root's
    // many neighbours.
    if (current != topLevelItem(0)) scrollToItem(current, QAbstractItemView::PositionAtTop);
}

void RemoteDirectoryTree::OnExpanded(QTreeWidgetItem* item) {
    const ItemKind kind = KindOf(item);
    if (busy_ || (kind != ItemKind::Root && kind != ItemKind::Folder)) return;
    ListLevel(item);
}

void RemoteDirectoryTree::ListLevel(QTreeWidgetItem* item) {
    const std::string folder = PathOf(item);
    qDeleteAll(item->takeChildren());
    BrowseConnection::Listing listing;
    const bool answered = RunOnWorker([&] { listing = connection_->List(folder); });
    const std::vector<BrowseConnection::Item>& listed = listing.value;
    // A level that cannot be listed simply shows nothing; only silence or a
    // failed connection is worth a word.
    std::string problem = listing.reason;
    if (!answered) problem = DeadlineText();
    if (!problem.empty() && !interrupted_) prompter_.Warn(problem);

    bool anyFolder = false;
    for (const BrowseConnection::Item& child : listed) {
        AddChild(item, child.folder ? ItemKind::Folder : ItemKind::File, child.name);
        anyFolder = anyFolder || child.folder;
    }
    if (!anyFolder) return;
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem* child = item->child(i);
        if (KindOf(child) == ItemKind::Folder) AddChild(child, ItemKind::Placeholder, kPlaceholder);
    }
}

std::string RemoteDirectoryTree::PathOf(const QTreeWidgetItem* item) const {
    if (connection_ == nullptr || item == nullptr) return {};
    // Every level followed by '/', outermost first: the root makes "//".
    std::string joined;
    for (const QTreeWidgetItem* level = item; level != nullptr; level = level->parent())
        joined.insert(0, NameOf(level) + "/");
    if (KindOf(item) != ItemKind::Root) {
        while (!joined.empty() && joined.back() == '/')
            joined.pop_back();
    }
    return joined.empty() ? joined : joined.substr(1);
}

bool RemoteDirectoryTree::PassesTreeCheck(std::string_view path) const {
    const size_t start = path.find_first_not_of('/');
    if (start == std::string_view::npos) return true;
    const size_t end = path.find('/', start);
    const std::string_view first =
        path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    const QTreeWidgetItem* root = topLevelItem(0);
    if (root == nullptr || KindOf(root) != ItemKind::Root) return false;
    for (int i = 0; i < root->childCount(); ++i) {
        if (NameOf(root->child(i)) == first) return true;
    }
    return false;
}

void RemoteDirectoryTree::Interrupt() {
    interrupted_ = true;
    if (connection_ != nullptr) connection_->Interrupt();
}

bool RemoteDirectoryTree::RunOnWorker(const std::function<void()>& call) {
    busy_ = true;
    // A disabled widget hands its focus on; it comes back afterwards. Asked
    // of the window, as the window may not be active yet.
    const bool hadFocus = window()->focusWidget() == this;
    setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);

    bool timedOut = false;
    BackgroundTask task;
    task.SetInterrupt([this] { connection_->Interrupt(); });
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, this, [&] {
        timedOut = true;
        task.Interrupt();
    });
    if (deadline_.count() > 0) deadline.start(deadline_);
    task.Run(call);

    QApplication::restoreOverrideCursor();
    setEnabled(true);
    if (hadFocus) setFocus();
    busy_ = false;
    return !timedOut;
}

std::string RemoteDirectoryTree::DeadlineText() const {
    return DeadlineMessage(std::chrono::ceil<std::chrono::seconds>(deadline_).count());
}

}  // namespace ravelmoor
