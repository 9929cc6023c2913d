#pragma once

#include "app/page.h"

#include <QMap>
#include <QWidget>

class Navigation;
class QPushButton;

// The word mark and one item per page; the item of the shown page is selected.
class Sidebar : public QWidget
{
    Q_OBJECT
public:
    explicit Sidebar(Navigation& nav, QWidget* parent = nullptr);

    QPushButton* item(Page page) const { return m_items.value(page); }
    // Pages in sidebar order with their titles.
    static QList<std::pair<Page, QString>> entries();

private:
    void sync();

    Navigation& m_nav;
    QMap<Page, QPushButton*> m_items;
};
