#include "app/ui/setup_parts.h"

#include "app/ui/app_style.h"
#include "app/ui/symbol_icon.h"
#include "brand/brand.h"

#include <QLabel>

QLabel* SetupParts::title(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(AppStyle::displayFont(22));
    label->setWordWrap(true);
    return label;
}

QLabel* SetupParts::paragraph(const QString& text, QWidget* parent, bool plain)
{
    auto* label = new QLabel(text, parent);
    label->setFont(AppStyle::uiFont(10));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    if (!plain)
        AppStyle::mark(label, "muted");
    return label;
}

QLabel* SetupParts::heading(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(AppStyle::uiFont(11, QFont::DemiBold));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* SetupParts::icon(const QString& symbol, QWidget* parent, int size)
{
    auto* label = new QLabel(parent);
    label->setFixedSize(size, size);
    label->setPixmap(SymbolIcon::make(symbol, Brand::text(), size).pixmap(size, size));
    return label;
}

void SetupParts::setColour(QLabel* label, const QColor& colour)
{
    label->setStyleSheet(QStringLiteral("color: %1;").arg(AppStyle::css(colour)));
}
