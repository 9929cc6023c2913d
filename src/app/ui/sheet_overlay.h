#pragma once

#include <QWidget>

// A sheet drawn inside its window rather than as a window of its own: it dims the window's content,
// takes the pointer away from it, and keeps the sheet centred as the window is resized. A window of
// its own over the main window shows as a black box on an X server without a compositing window
// manager.
class SheetOverlay : public QWidget
{
    Q_OBJECT
public:
    // Covers `window`; `sheet` becomes its child, shown at least at `size` (and at most as large as
    // the window).
    SheetOverlay(QWidget* window, QWidget* sheet, QSize size);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void place();

    QWidget* m_sheet;
    QSize m_size;
};
