#pragma once

#include "app/page.h"

#include <QMap>

#include <functional>

class Navigation;
class PartsModel;
class QWidget;
struct AppServices;

// What a page or sheet is given to build itself.
struct ViewContext
{
    PartsModel& model;
    Navigation& nav;
    AppServices& services;
};

// The views the window is assembled from, by page and by sheet. A page or sheet without a
// maker shows a plain titled placeholder. Subsystems add theirs in ViewRegistry::standard().
struct ViewRegistry
{
    using PageMaker = std::function<QWidget*(const ViewContext&, QWidget* parent)>;
    // `close` lowers the sheet's flag.
    using SheetMaker = std::function<QWidget*(const ViewContext&, std::function<void()> close, QWidget* parent)>;

    QMap<Page, PageMaker> pages;
    SheetMaker setup;
    SheetMaker move;
    SheetMaker uninstall;
    SheetMaker feedback;
    // The menu bar item's content, shown in a window by "--show menu".
    PageMaker menuContent;

    static ViewRegistry standard();
};
