#pragma once

#include <QWidget>

class QDialog;
class QDialogButtonBox;
class QTextBrowser;

namespace ravelmoor {

// The help topics, pages compiled into the program.
namespace help_topics {
inline constexpr const char* kMain = "main.htm";
inline constexpr const char* kCompare = "compare.htm";
inline constexpr const char* kFilters = "filters.htm";
inline constexpr const char* kSettings = "settings.htm";
}  // namespace help_topics

// A window that shows the help pages; their links lead from page to page.
class HelpWindow : public QWidget {
    Q_OBJECT

  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows `topic` in the language of the installed translation
    // ("qrc:/help/de/<topic>"), or in English where that page is missing.
    void ShowTopic(const char* topic);
    // The page on display, as "qrc:/help/<topic>" or "qrc:/help/<language>/<topic>".
    QString CurrentPage() const;

    // The one help window, brought to the front on `topic`. It belongs to the
    // window of `from`, so that it takes input even while that window is a
    // modal dialog, and goes with it.
    static HelpWindow* Show(const char* topic, QWidget* from);

  private:
    QTextBrowser* browser_;
};

// OK, Cancel and Help for `dialog`: OK calls its accept(), Cancel its
// reject(), Help opens `topic`.
QDialogButtonBox* MakeOkCancelHelpButtons(QDialog& dialog, const char* topic);

}  // namespace ravelmoor
