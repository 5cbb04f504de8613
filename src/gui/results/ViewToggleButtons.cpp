#include "gui/results/ViewToggleButtons.h"

#include <QCoreApplication>
#include <QIcon>
#include <QPixmap>
#include <QToolButton>

#include "gui/widgets/IconButton.h"

namespace ravelmoor {
namespace {

constexpr const char* kContext = "ravelmoor::ResultsWindow";

struct ToggleLook {
    const char* text;
    const char* icon;
    const char* tooltip;
};
constexpr std::array<ToggleLook, kViewToggleCount> kToggleLooks = {{
    {QT_TRANSLATE_NOOP("ravelmoor::ResultsWindow", "Matched"), "status-matched-file",
     QT_TRANSLATE_NOOP("ravelmoor::ResultsWindow", "View/Hide Matched files/folders")},
    {QT_TRANSLATE_NOOP("ravelmoor::ResultsWindow", "Unmatched"), "status-unmatched-file",
     QT_TRANSLATE_NOOP("ravelmoor::ResultsWindow", "View/Hide Unmatched files/folders")},
    {QT_TRANSLATE_NOOP("ravelmoor::ResultsWindow", "Newer"), "status-newer-file",
     QT_TRANSLATE_NOOP("ravelmoor::ResultsWindow", "View/Hide Newer files/folders")},
    {QT_TRANSLATE_NOOP("ravelmoor::ResultsWindow", "Older"), "status-older-file",
     QT_TRANSLATE_NOOP("ravelmoor::ResultsWindow", "View/Hide Older files/folders")},
    {QT_TRANSLATE_NOOP("ravelmoor::ResultsWindow", "Excluded"), "status-excluded-file",
     QT_TRANSLATE_NOOP("ravelmoor::ResultsWindow", "View/Hide Excluded files/folders")},
}};

}  // namespace

std::array<QToolButton*, kViewToggleCount> MakeViewToggleButtons(QWidget* parent) {
    std::array<QToolButton*, kViewToggleCount> toggles{};
    for (size_t i = 0; i < toggles.size(); ++i) {
        auto* toggle = new QToolButton(parent);
        toggle->setText(QCoreApplication::translate(kContext, kToggleLooks[i].text));
        toggle->setToolTip(QCoreApplication::translate(kContext, kToggleLooks[i].tooltip));
        toggle->setCheckable(true);
        toggle->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        // Off shows a grey icon on a plain button, on a coloured icon on the
        // selection colour: told apart at a glance in any theme.
        QIcon icon = ProgramIcon(kToggleLooks[i].icon);
        const QPixmap grey = icon.pixmap(QSize(16, 16), QIcon::Disabled);
        icon.addPixmap(grey, QIcon::Normal, QIcon::Off);
        icon.addPixmap(grey, QIcon::Active, QIcon::Off);
        toggle->setIcon(icon);
        toggle->setStyleSheet(QStringLiteral(
            "QToolButton { border: 1px solid palette(mid); border-radius: 3px; padding: 2px 6px; }"
            "QToolButton:checked { background: palette(highlight); color: "
            "palette(highlighted-text);"
            " border-color: palette(highlight); }"));
        toggles[i] = toggle;
    }
    return toggles;
}

}  // namespace ravelmoor
