#pragma once

class QScrollArea;
class QWidget;

// The pages' scrolling: a frameless area that scrolls its content vertically only and keeps it
// as wide as the area, so long pages never grow a horizontal bar.
namespace PageScroll {
QScrollArea* around(QWidget* content, QWidget* parent);
// The same area filling `page` edge to edge, the page's only child in view.
QScrollArea* fill(QWidget& page, QWidget* content);
}
