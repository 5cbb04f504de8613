#include "gui/widgets/DarkPalette.h"

#include <QApplication>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <memory>

namespace ravelmoor {
namespace {

// Fusion draws the frame of a check box or a radio button in the window
// colour made darker, which on a dark window is all but the colour of the
// box's inside: an unticked box could not be seen. Here the frame is drawn
// from a window colour light enough to stand out against the inside.
class FramedIndicatorStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if ((element == PE_IndicatorCheckBox || element == PE_IndicatorRadioButton ||
             element == PE_IndicatorItemViewItemCheck) &&
            option != nullptr) {
            std::unique_ptr<QStyleOption> framed(CopyOf(element, *option));
            // The frame comes out near RGB(120, 120, 125).
            framed->palette.setColor(QPalette::Window, QColor(155, 155, 162));
            QProxyStyle::drawPrimitive(element, framed.get(), painter, widget);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

  private:
    static QStyleOption* CopyOf(PrimitiveElement element, const QStyleOption& option) {
        if (element == PE_IndicatorItemViewItemCheck) {
            if (const auto* item = qstyleoption_cast<const QStyleOptionViewItem*>(&option))
                return new QStyleOptionViewItem(*item);
        }
        if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(&option))
            return new QStyleOptionButton(*button);
        if (const auto* menu = qstyleoption_cast<const QStyleOptionMenuItem*>(&option))
            return new QStyleOptionMenuItem(*menu);
        return new QStyleOption(option);
    }
};

}  // namespace

void ApplyPaletteFromEnvironment() {
    if (qEnvironmentVariable("RAVELMOOR_PALETTE") != QLatin1String("dark")) return;
    QApplication::setStyle(
        new FramedIndicatorStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    QPalette dark;
    const QColor window(45, 45, 48);
    const QColor base(30, 30, 30);
    const QColor text(230, 230, 230);
    const QColor disabled(128, 128, 128);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::ToolTipBase, window);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::PlaceholderText, disabled);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::BrightText, Qt::red);
    dark.setColor(QPalette::Light, QColor(75, 75, 80));
    dark.setColor(QPalette::Midlight, QColor(62, 62, 66));
    dark.setColor(QPalette::Mid, QColor(90, 90, 95));
    dark.setColor(QPalette::Dark, QColor(110, 110, 115));
    dark.setColor(QPalette::Shadow, QColor(10, 10, 10));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Link, QColor(100, 170, 255));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(QPalette::Disabled, role, disabled);
    QApplication::setPalette(dark);
}

}  // namespace ravelmoor
