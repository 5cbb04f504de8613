#pragma once

#include <QIcon>
#include <QTreeWidget>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace ravelmoor {

class BrowseConnection;
class Prompter;

// The folder tree of a server, listed one level at a time: the root "/",
// then a level each time the user expands a folder (afresh every time). A
// folder not yet listed holds a placeholder item so that it can be expanded.
// The tree has its own BrowseConnection, handed to Initialise; the FTP and
// SFTP trees say how to make it and word their own messages.
//
// Each server call runs on a worker thread while the window keeps painting
// under the wait cursor (the tree itself takes no input meanwhile), so a slow
// server never freezes the program. With an answer deadline, a call still
// unanswered at the deadline is broken off with a message.
class RemoteDirectoryTree : public QTreeWidget {
    Q_OBJECT

  public:
    enum class ItemKind { Root, Folder, File, Placeholder, Failure };

    ~RemoteDirectoryTree() override;

    // The server path of `item` ("/", "/pub", "/pub/docs"); empty without a
    // connection.
    std::string PathOf(const QTreeWidgetItem* item) const;
    // A typed path passes when it is "/" (or only slashes) or when its first
    // level is listed under the root; deeper levels are not looked at.
    bool PassesTreeCheck(std::string_view path) const;

    static ItemKind KindOf(const QTreeWidgetItem* item);
    // The name as the server spells it (the item's text may have had to
    // replace bytes that are not UTF-8).
    static std::string NameOf(const QTreeWidgetItem* item);

    // A server call is under way.
    bool Busy() const { return busy_; }
    // Breaks the call under way without a message (the dialog is closing).
    void Interrupt();
    // Zero: no deadline (the connection bounds its own calls).
    void SetAnswerDeadline(std::chrono::milliseconds deadline) { deadline_ = deadline; }

  protected:
    RemoteDirectoryTree(Prompter& prompter, std::chrono::milliseconds deadline, QWidget* parent);

    // Connects `connection`, lists the root and opens the tree along its
    // start folder: each level of it is expanded, and a file at the end of
    // the walk is selected and shown in bold. False, after saying why, when
    // no connection could be made; the tree then holds only the item
    // NoConnectionText().
    bool Initialise(std::unique_ptr<BrowseConnection> connection);

    // The one item of a tree without a connection.
    virtual QString NoConnectionText() const = 0;
    // What is said when the server has not answered within the deadline
    // (asked only of a tree that has one).
    virtual std::string DeadlineMessage(long long /*seconds*/) const { return {}; }

  private:
    QTreeWidgetItem* AddChild(QTreeWidgetItem* parent, ItemKind kind, const std::string& name);
    void OnExpanded(QTreeWidgetItem* item);
    void ListLevel(QTreeWidgetItem* item);
    void OpenAlong(const std::string& directory);
    // Runs `call` on a worker thread and waits for it with the window alive.
    // False when the deadline passed and the call was broken off.
    bool RunOnWorker(const std::function<void()>& call);
    std::string DeadlineText() const;

    Prompter& prompter_;
    const QIcon folderIcon_;
    const QIcon fileIcon_;
    std::unique_ptr<BrowseConnection> connection_;
    std::chrono::milliseconds deadline_;
    bool busy_ = false;
    bool interrupted_ = false;
};

}  // namespace ravelmoor
