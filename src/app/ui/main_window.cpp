#include "app/ui/main_window.h"

#include <QLabel>

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Zentrove"));
    resize(980, 640);
    auto* label = new QLabel(QStringLiteral("Zentrove"), this);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("background:#0E0F12; color:#E8E6E1; font-size:28px;"));
    setCentralWidget(label);
}
