#pragma once

#include <QMainWindow>

// The control app's window. Its pages arrive with the main window work; for now it is the frame.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
};
