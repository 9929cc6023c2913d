#pragma once

#include <QColor>
#include <QString>

class QLabel;
class QWidget;

// The small pieces the setup's steps are made of, in the brand's look.
namespace SetupParts {

QLabel* title(const QString& text, QWidget* parent);
// Wrapped body text; muted unless `plain`.
QLabel* paragraph(const QString& text, QWidget* parent, bool plain = false);
QLabel* heading(const QString& text, QWidget* parent);
QLabel* icon(const QString& symbol, QWidget* parent, int size = 22);
void setColour(QLabel* label, const QColor& colour);

} // namespace SetupParts
