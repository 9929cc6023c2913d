#include "brand/ui/page_style.h"

#include "brand/brand.h"

#include <QColor>

QString PageStyle::css(const QColor& color)
{
    return QStringLiteral("rgba(%1, %2, %3, %4)").arg(color.red()).arg(color.green()).arg(color.blue()).arg(color.alphaF(), 0, 'f', 3);
}

QString PageStyle::editingControls()
{
    return QStringLiteral(
        "QFrame[role=\"presetCard\"] { background: %1; border: 1px solid %2; border-radius: 8px; }"
        "QFrame[role=\"presetCard\"][selected=\"true\"] { border: 1px solid %3; }"
        "QFrame[role=\"presetCard\"] QToolButton { color: %4; border: none; font-size: 15px; }"
        "QFrame[role=\"presetCard\"] QToolButton:hover { color: %3; }"
        "QPushButton[role=\"segment\"], QPushButton[role=\"segmentFirst\"], QPushButton[role=\"segmentLast\"] {"
        " background: transparent; color: %4; border: 1px solid %2; border-radius: 0; padding: 4px 12px; }"
        "QPushButton[role=\"segmentFirst\"] { border-top-left-radius: 6px; border-bottom-left-radius: 6px; }"
        "QPushButton[role=\"segmentLast\"] { border-top-right-radius: 6px; border-bottom-right-radius: 6px; }"
        "QPushButton[role=\"segment\"]:checked, QPushButton[role=\"segmentFirst\"]:checked, QPushButton[role=\"segmentLast\"]:checked {"
        " background: %2; color: %3; }"
        "QLineEdit, QComboBox { background: %5; color: %3; border: 1px solid %2; border-radius: 6px; padding: 4px 8px; }"
        "QComboBox::drop-down { border: none; width: 20px; }"
        "QComboBox::down-arrow { width: 8px; height: 8px; }"
        "QSlider::groove:horizontal { height: 4px; background: %2; border-radius: 2px; }"
        "QSlider::sub-page:horizontal { background: %4; border-radius: 2px; }"
        "QSlider::handle:horizontal { background: %3; width: 14px; margin: -5px 0; border-radius: 7px; }")
        .arg(css(Brand::raised()), css(Brand::line()), css(Brand::text()), css(Brand::muted()), css(Brand::base()));
}
