#pragma once

#include <QString>

class QWidget;

// Renders a widget to a PNG file. false when the file cannot be written (logged).
namespace Snapshot {
bool write(QWidget* widget, const QString& path);
}
