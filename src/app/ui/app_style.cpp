#include "app/ui/app_style.h"

#include "brand/brand.h"
#include "brand/brand_font.h"
#include "brand/ui/page_style.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

QString AppStyle::css(const QColor& color)
{
    return PageStyle::css(color);
}

QFont AppStyle::uiFont(qreal pointSize, QFont::Weight weight)
{
    return BrandFont::ui(pointSize, weight);
}

QFont AppStyle::displayFont(qreal pointSize, QFont::Weight weight)
{
    return BrandFont::display(pointSize, weight);
}

void AppStyle::mark(QWidget* widget, const char* role)
{
    widget->setProperty("role", QString::fromLatin1(role));
}

namespace {

// A translucent colour as it shows over an opaque one.
QColor opaque(const QColor& over, const QColor& under)
{
    const float a = over.alphaF();
    return QColor::fromRgbF(over.redF() * a + under.redF() * (1 - a), over.greenF() * a + under.greenF() * (1 - a),
                            over.blueF() * a + under.blueF() * (1 - a));
}

} // namespace

void AppStyle::apply(QApplication& app)
{
    app.setStyle(QStringLiteral("Fusion"));
    QPalette palette;
    palette.setColor(QPalette::Window, Brand::base());
    palette.setColor(QPalette::WindowText, Brand::text());
    palette.setColor(QPalette::Base, Brand::sidebar());
    palette.setColor(QPalette::AlternateBase, Brand::base());
    palette.setColor(QPalette::Text, Brand::text());
    palette.setColor(QPalette::Button, Brand::line());
    palette.setColor(QPalette::ButtonText, Brand::text());
    palette.setColor(QPalette::PlaceholderText, Brand::muted());
    palette.setColor(QPalette::ToolTipBase, Brand::sidebar());
    palette.setColor(QPalette::ToolTipText, Brand::text());
    palette.setColor(QPalette::Highlight, Brand::line());
    palette.setColor(QPalette::HighlightedText, Brand::text());
    palette.setColor(QPalette::Disabled, QPalette::Text, Brand::muted());
    palette.setColor(QPalette::Disabled, QPalette::WindowText, Brand::muted());
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, Brand::muted());
    app.setPalette(palette);
    app.setFont(uiFont(10));

    const int radius = int(Brand::radius);
    app.setStyleSheet(QStringLiteral(
        "QWidget[role=\"sidebar\"] { background: %1; }"
        "QFrame[role=\"hairline\"] { background: %2; border: none; }"
        "QFrame[role=\"box\"] { background: %3; border: 1px solid %2; border-radius: %6px; }"
        "QFrame[role=\"rule\"] { background: %2; border: none; max-height: 1px; min-height: 1px; }"
        "QLabel[role=\"muted\"] { color: %4; }"
        "QLabel[role=\"failure\"] { color: %5; }"
        "QPushButton { background: %2; color: %7; border: 1px solid %2; border-radius: %6px; padding: 5px 14px; }"
        "QPushButton:hover { background: %8; }"
        "QPushButton:disabled { color: %4; }"
        "QPushButton[role=\"primary\"] { background: %7; color: %1; border-color: %7; font-weight: 600; }"
        "QPushButton[role=\"link\"] { background: transparent; border: none; padding: 0; color: %7; text-decoration: underline; }"
        "QPushButton[role=\"sidebarItem\"] { background: transparent; border: none; text-align: left; padding: 8px 14px; color: %4; }"
        "QPushButton[role=\"sidebarItem\"]:checked { background: %3; color: %7; }"
        "QPushButton[role=\"sidebarItem\"]:hover { color: %7; }"
        "QPushButton[role=\"destructive\"] { color: %5; }"
        "QPushButton[role=\"segment\"] { background: transparent; color: %4; border: 1px solid %2; border-radius: 11px; padding: 3px 12px; }"
        "QPushButton[role=\"segment\"]:checked { background: %2; color: %7; }"
        "QPushButton[role=\"slotRow\"] { background: transparent; border: none; border-radius: 0; padding: 0; }"
        "QPushButton[role=\"slotRow\"]:hover { background: %3; }"
        "QPushButton[role=\"slotRow\"][current=\"true\"] { background: %2; }"
        "QToolButton[role=\"iconButton\"] { background: %2; border: 1px solid %2; border-radius: %6px; padding: 5px 8px; }"
        "QToolButton[role=\"iconButton\"]:hover { background: %8; }"
        "QFrame[role=\"badge\"] { border: 1px solid %2; border-radius: 4px; }"
        "QLineEdit { background: %1; color: %7; border: 1px solid %2; border-radius: 6px; padding: 5px 8px; }"
        "QLineEdit:focus { border-color: %4; }"
        "QScrollArea { background: transparent; border: none; }"
        // Flat scroll bars: plain rectangles are filled on the interface thread as the view
        // scrolls, where the default style's gradients go through Qt's thread pool.
        "QScrollBar:vertical { background: transparent; width: 10px; margin: 0; }"
        "QScrollBar:horizontal { background: transparent; height: 10px; margin: 0; }"
        "QScrollBar::handle { background: %2; margin: 2px; }"
        "QScrollBar::handle:vertical { min-height: 32px; }"
        "QScrollBar::handle:horizontal { min-width: 32px; }"
        "QScrollBar::handle:hover, QScrollBar::handle:pressed { background: %4; }"
        "QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; border: none; background: none; }"
        "QScrollBar::add-page, QScrollBar::sub-page { background: none; }"
        "QMenuBar { background: %1; color: %7; }"
        "QMenu { background: %1; color: %7; border: 1px solid %2; }"
        "QMenu::item:selected { background: %2; }")
                          .arg(css(Brand::sidebar()), css(Brand::line()), css(Brand::raised()), css(Brand::muted()), css(Brand::failure()))
                          .arg(radius)
                          .arg(css(Brand::text()), css(Brand::off()))
                      // Floats over scrolling content, so it must hide what passes beneath it.
                      + QStringLiteral("QFrame[role=\"banner\"] { background: %1; border: 1px solid %2; border-radius: %3px; }")
                            .arg(css(opaque(Brand::raised(), Brand::base())), css(Brand::line()))
                            .arg(radius));
}
