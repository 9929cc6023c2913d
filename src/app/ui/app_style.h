#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QApplication;
class QWidget;

// The control app's dark look, from the brand palette: application palette, fonts and the
// style sheet the pages share. Object names used by the sheet are listed here.
namespace AppStyle {

void apply(QApplication& app);

QFont uiFont(qreal pointSize, QFont::Weight weight = QFont::Normal);
QFont displayFont(qreal pointSize, QFont::Weight weight = QFont::DemiBold);

// A colour as a style-sheet value, alpha included.
QString css(const QColor& color);

// Marks a widget for one of the shared looks of the style sheet.
void mark(QWidget* widget, const char* role);

} // namespace AppStyle
